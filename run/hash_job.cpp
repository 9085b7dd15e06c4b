#include "run/hash_job.h"

#include <commctrl.h>
#include <shlwapi.h>

#include <string.h>

#include <memory>
#include <new>
#include <string>

#include "base/algorithm_box.h"
#include "base/app_state.h"
#include "base/gui_listbox.h"
#include "base/load_text.h"
#include "base/private_messages.h"
#include "base/scoped_handle.h"
#include "base/taskbar.h"
#include "engine/digestor.h"
#include "res/resource.h"
#include "run/entry_batches.h"

namespace {

// The job works in blocks of ReadBlockSize: a stop request is honoured and the
// per-file bar moves before each one. It reads from the file in chunks of
// many blocks, because under Wine every read call costs about as much as
// digesting a block.
const DWORD ReadBlockSize = 1024;
const DWORD ReadChunkSize = 64 * ReadBlockSize;
const UINT DisplayPathSize = 51; // compacted path shown in the dialog, terminator included
const int LineBufferSize = 2048; // wsprintfA writes at most 1024 characters of it
// Display reports are coalesced to about 30 a second: under Wine a report that
// repaints a bar costs about a millisecond, reading and digesting a block a
// few microseconds.
const ULONGLONG ReportInterval = 33;
// The per-file bar counts in at most this many steps, so a file of any size
// is shown in proportion within the bar's 32-bit range.
const ULONGLONG FileBarSteps = 65535;

volatile LONG StopRequest = 0;
HashBlockHook BlockHook = NULL;

// What the progress dialog and the taskbar button should show, and what was
// last sent to them. Flush sends the differences in the order the run makes
// them: file name, per-file bar, whole-list bar, taskbar value.
struct Display {
    char wantedName[DisplayPathSize];
    bool nameChanged;
    LONG wantedFileRange;
    LONG shownFileRange;
    LONG wantedFilePos;
    LONG shownFilePos;
    LRESULT wantedTotal;
    LRESULT shownTotal;
    LRESULT count;
    ULONGLONG lastReport;
};

void Flush(Display& display, bool now) {
    ULONGLONG tick = GetTickCount64();
    if ((!now && tick - display.lastReport < ReportInterval) || HashStopRequested()) {
        return;
    }
    HWND dialog = ProgressWindow;
    if (display.nameChanged) {
        SetDlgItemTextA(dialog, IDC_PROGRESS_FILE_NAME, display.wantedName);
        display.nameChanged = false;
    }
    if (display.wantedFileRange != display.shownFileRange) {
        SendDlgItemMessageA(dialog, IDC_FILE_PROGRESS, PBM_SETRANGE32, 0, display.wantedFileRange);
        display.shownFileRange = display.wantedFileRange;
        display.shownFilePos = -1; // a new range is always followed by its position
    }
    if (display.wantedFilePos != display.shownFilePos) {
        SendDlgItemMessageA(dialog, IDC_FILE_PROGRESS, PBM_SETPOS, display.wantedFilePos, 0);
        display.shownFilePos = display.wantedFilePos;
    }
    if (display.wantedTotal != display.shownTotal) {
        SendDlgItemMessageA(dialog, IDC_TOTAL_PROGRESS, PBM_SETPOS, display.wantedTotal, 0);
        SetTaskbarValue(display.wantedTotal, display.count);
        display.shownTotal = display.wantedTotal;
    }
    display.lastReport = tick;
}

// Position of the per-file bar after done of size bytes, range being the
// bar's upper end (size itself for files of up to FileBarSteps bytes).
LONG FileBarPosition(ULONGLONG done, ULONGLONG size, LONG range) {
    if (done >= size) {
        return range;
    }
    if (size < (1ULL << 47)) {
        return static_cast<LONG>(done * static_cast<ULONGLONG>(range) / size);
    }
    return static_cast<LONG>(static_cast<double>(done) / static_cast<double>(size) * range);
}

// The job's view of the list: entries read ahead, new lines not yet handed
// over, and when they last were.
struct ListTraffic {
    EntryBatch reads;
    LineBatch lines;
    ULONGLONG lastHandOver;
};

// Hands the waiting lines to the window thread, which replaces the entries.
void HandOverLines(ListTraffic& traffic) {
    if (traffic.lines.count > 0) {
        SendMessageA(MainWindow, MSG_REPLACE_ENTRIES, 0, reinterpret_cast<LPARAM>(&traffic.lines));
        traffic.lines.count = 0;
    }
    traffic.lastHandOver = GetTickCount64();
}

// Entry text longer than a list entry may hold is cut, so the replacement
// never loses the entry.
void ReplaceEntry(ListTraffic& traffic, int index, const char* line) {
    LineBatch& lines = traffic.lines;
    lstrcpynA(lines.lines[lines.count], line, PathBufferSize);
    lines.index[lines.count] = index;
    if (++lines.count == EntryBatchSize) {
        HandOverLines(traffic);
    }
}

// Copies entry index into FileNameBuffer, reading the next batch when needed.
bool ReadEntry(ListTraffic& traffic, int index, LRESULT count) {
    EntryBatch& reads = traffic.reads;
    if (index < reads.first || index >= reads.first + reads.count) {
        reads.first = index;
        reads.count = static_cast<int>(count - index < EntryBatchSize ? count - index : EntryBatchSize);
        for (int k = 0; k < reads.count; ++k) {
            reads.read[k] = false;
        }
        SendMessageA(MainWindow, MSG_READ_ENTRIES, 0, reinterpret_cast<LPARAM>(&reads));
    }
    int k = index - reads.first;
    if (!reads.read[k]) {
        return false;
    }
    memcpy(FileNameBuffer, reads.entries[k], PathBufferSize);
    return true;
}

// How reading one file ended.
enum FileOutcome { FileDigested, FileStopped, FileReadFailed };

// Digests the open file named by FileNameBuffer into entry index. Only a read
// of 0 bytes at the end of the file finishes the digest: a read that fails is
// a failure of the entry, not a digest of the bytes read so far.
FileOutcome DigestFile(HANDLE file, int index, IDigestor* digestor, const char* name, Display& display,
                       ListTraffic& traffic) {
    LARGE_INTEGER size = {};
    GetFileSizeEx(file, &size);
    ULONGLONG fileSize = static_cast<ULONGLONG>(size.QuadPart);
    LONG range = static_cast<LONG>(fileSize < FileBarSteps ? fileSize : FileBarSteps);

    PathCompactPathExA(display.wantedName, FileNameBuffer, DisplayPathSize, 0);
    display.nameChanged = true;
    display.wantedFileRange = range;
    display.wantedFilePos = 0;
    // The first opened file shows at once, so the dialog never opens blank.
    Flush(display, display.shownFileRange < 0);

    digestor->Reset();
    BYTE chunk[ReadChunkSize];
    DWORD chunkLength = 0;
    DWORD offset = 0;
    ULONGLONG done = 0;
    for (;;) {
        if (BlockHook) {
            BlockHook(index, done);
        }
        if (HashStopRequested()) {
            return FileStopped;
        }
        if (offset == chunkLength) {
            offset = 0;
            if (!ReadFile(file, chunk, ReadChunkSize, &chunkLength, NULL)) {
                // A cancel breaks a read that does not return: that is a stop.
                return HashStopRequested() ? FileStopped : FileReadFailed;
            }
            if (chunkLength == 0) {
                break;
            }
        }
        DWORD block = chunkLength - offset < ReadBlockSize ? chunkLength - offset : ReadBlockSize;
        done += block;
        display.wantedFilePos = FileBarPosition(done, fileSize, range);
        Flush(display, false);
        digestor->Update(chunk + offset, block);
        offset += block;
    }
    digestor->Finish();

    char line[LineBufferSize];
    std::string digest = digestor->DigestText();
    wsprintfA(line, "%s <- %s -> %s", digest.c_str(), name, FileNameBuffer);
    ReplaceEntry(traffic, index, line);
    return FileDigested;
}

// The failure line of the entry in FileNameBuffer; without the language's
// format the entry keeps its text, and a result of an earlier run stays.
void ReplaceByFailure(ListTraffic& traffic, int index, const char* name, const char* failFormat) {
    if (failFormat && !strstr(FileNameBuffer, " <- ")) {
        char line[LineBufferSize];
        wsprintfA(line, failFormat, name, FileNameBuffer);
        ReplaceEntry(traffic, index, line);
    }
}

// One run over the list; returns when it is done or stopped, having sent no
// report after a stop request. The lines of the entries digested so far are
// handed over either way.
void RunJob(IDigestor* digestor, const char* name, LRESULT count, const char* failFormat,
            ListTraffic& traffic) {
    Display display = {};
    display.count = count;
    display.shownFileRange = -1;
    display.shownFilePos = -1;

    SetTaskbarState(TBPF_NORMAL);
    SetTaskbarValue(0, count);
    SendDlgItemMessageA(ProgressWindow, IDC_TOTAL_PROGRESS, PBM_SETRANGE32, 0, count);
    SendDlgItemMessageA(ProgressWindow, IDC_TOTAL_PROGRESS, PBM_SETPOS, 0, 0);

    for (LRESULT i = 0; i < count; ++i) {
        if (HashStopRequested()) {
            return;
        }
        int index = static_cast<int>(i);
        // An entry that cannot be read is treated as empty: nothing to open.
        if (ReadEntry(traffic, index, count) && FileNameBuffer[0] != '\0') {
            ScopedFile file(CreateFileA(FileNameBuffer, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, NULL));
            FileOutcome outcome = file.IsValid()
                                      ? DigestFile(file.Get(), index, digestor, name, display, traffic)
                                      : FileReadFailed;
            if (outcome == FileStopped || (!file.IsValid() && HashStopRequested())) {
                // An open broken by a cancel leaves the entry as it was too.
                return;
            }
            if (outcome == FileReadFailed) {
                ReplaceByFailure(traffic, index, name, failFormat);
            }
        }
        display.wantedTotal = i + 1;
        Flush(display, false);
        // The list keeps pace with the display.
        if (GetTickCount64() - traffic.lastHandOver >= ReportInterval) {
            HandOverLines(traffic);
        }
    }
    // The display ends as a report of every block and entry would have left it.
    Flush(display, true);
}

} // namespace

void ClearHashStop() { InterlockedExchange(&StopRequest, 0); }

void RequestHashStop() { InterlockedExchange(&StopRequest, 1); }

bool HashStopRequested() { return InterlockedCompareExchange(&StopRequest, 0, 0) != 0; }

void SetHashBlockHook(HashBlockHook hook) { BlockHook = hook; }

DWORD WINAPI HashWorkerThread(LPVOID) {
    // A synchronous call first: the window thread carries it out only after
    // it has stored the dialog in ProgressWindow.
    DigestKind kind = SelectedAlgorithm(MainWindow);
    char name[16];
    lstrcpynA(name, AlgorithmNames[kind], sizeof name);

    // The window thread may load other texts while we run: keep our own copy.
    char failFormat[SharedTextSize];
    const char* loaded = LoadText(IDS_OPEN_FAILED);
    if (loaded) {
        lstrcpynA(failFormat, loaded, sizeof failFormat);
    }

    // About 66 KiB: kept off the thread's stack.
    std::unique_ptr<ListTraffic> traffic(new (std::nothrow) ListTraffic());
    LRESULT count = FileList->EntryCount();
    if (traffic && count != LB_ERR) {
        traffic->lastHandOver = GetTickCount64();
        try {
            DigestorHolder digestor(kind);
            RunJob(digestor.Get(), name, count, loaded ? failFormat : NULL, *traffic);
        } catch (const std::bad_alloc&) {
            // Out of memory: the run ends as far as it got, like a finished one.
        }
        HandOverLines(*traffic);
    }
    if (HashStopRequested()) {
        // The dialog's teardown clears the taskbar and expects no more reports.
        return 0;
    }
    SetTaskbarState(TBPF_NOPROGRESS);
    SendMessageA(ProgressWindow, MSG_HASH_DONE, 0, 0);
    return 0;
}
