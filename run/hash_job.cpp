#include "run/hash_job.h"

#include <commctrl.h>
#include <shlwapi.h>

#include <string.h>

#include <memory>
#include <new>
#include <string>

#include "base/algorithm_names.h"
#include "base/check_tally.h"
#include "base/code_page.h"
#include "base/digest_file.h"
#include "base/list_file.h"
#include "base/load_text.h"
#include "base/scoped_handle.h"
#include "engine/digestor.h"
#include "res/resource.h"
#include "run/entry_batches.h"
#include "window/algorithm_box.h"
#include "window/app_state.h"
#include "window/gui_listbox.h"
#include "window/private_messages.h"
#include "window/taskbar.h"

namespace {

const UINT DisplayPathSize = 51; // compacted path shown in the dialog, terminator included
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

// Entry text longer than a list entry may hold is cut, on a character
// boundary, so the replacement never loses the entry.
void ReplaceEntry(ListTraffic& traffic, int index, const char* line) {
    LineBatch& lines = traffic.lines;
    CopyCut(lines.lines[lines.count], PathBufferSize, line);
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

// What the block check of one file works with.
struct FileWatch {
    Display* display;
    int index;
    ULONGLONG size;
    LONG range;
};

// Before each block: the per-file bar, the test hook, the stop request.
bool CheckBlock(ULONGLONG done, void* context) {
    FileWatch& watch = *static_cast<FileWatch*>(context);
    watch.display->wantedFilePos = FileBarPosition(done, watch.size, watch.range);
    Flush(*watch.display, false);
    if (BlockHook) {
        BlockHook(watch.index, done);
    }
    return !HashStopRequested();
}

// Digests the open file named by FileNameBuffer into digestor.
FileOutcome DigestFile(HANDLE file, int index, IDigestor* digestor, Display& display) {
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

    FileWatch watch = {&display, index, fileSize, range};
    FileOutcome outcome = DigestOpenFile(file, digestor, CheckBlock, &watch);
    if (outcome == FileReadFailed && HashStopRequested()) {
        return FileStopped; // a cancel breaks a read that does not return
    }
    return outcome;
}

// What the job writes: a digest run's algorithm and failure format, or a
// check's verdict words (its algorithms and digests come with the entries).
struct Wording {
    DigestKind kind;
    const char* failFormat; // null: a failed entry keeps its text
    bool check;
    char verdicts[VerdictReadError + 1][64];
};

// One digestor of each kind the run meets, made when first needed.
class Digestors {
public:
    Digestors() : m_made() {}
    ~Digestors() {
        for (IDigestor* digestor : m_made) {
            if (digestor) {
                digestor->Release();
            }
        }
    }
    Digestors(const Digestors&) = delete;
    Digestors& operator=(const Digestors&) = delete;
    IDigestor* Get(DigestKind kind) {
        if (!m_made[kind]) {
            m_made[kind] = CreateDigestor(kind);
        }
        return m_made[kind];
    }

private:
    IDigestor* m_made[DigestZipCRC32 + 1];
};

// The line entry FileNameBuffer gets, or the empty text when it keeps its
// own: a result or failure line of a digest run (a result of an earlier run
// stays), a verdict line of a check, which it also counts.
std::string EntryLine(const Wording& wording, DigestKind kind, FileOutcome outcome, IDigestor* digestor,
                      const CheckExpectation* expected) {
    const char* name = KindName(kind);
    if (expected) {
        Verdict verdict = outcome == FileOpenFailed                    ? VerdictMissing
                          : outcome == FileReadFailed                  ? VerdictReadError
                          : digestor->DigestText() == expected->digest ? VerdictOK
                                                                       : VerdictFailed;
        CountVerdict(CheckResult, verdict);
        return std::string(wording.verdicts[verdict]) + " <- " + name + " -> " + FileNameBuffer;
    }
    if (outcome == FileDigested) {
        return ResultLine(digestor->DigestText(), name, FileNameBuffer);
    }
    if (wording.failFormat && !strstr(FileNameBuffer, " <- ")) {
        return FailureLine(wording.failFormat, name, FileNameBuffer);
    }
    return std::string();
}

// One run over the list; returns when it is done or stopped, having sent no
// report after a stop request. The lines of the entries digested so far are
// handed over either way.
void RunJob(const Wording& wording, LRESULT count, ListTraffic& traffic) {
    Display display = {};
    display.count = count;
    display.shownFileRange = -1;
    display.shownFilePos = -1;
    Digestors digestors;

    SetTaskbarState(TBPF_NORMAL);
    SetTaskbarValue(0, count);
    SendDlgItemMessageA(ProgressWindow, IDC_TOTAL_PROGRESS, PBM_SETRANGE32, 0, count);
    SendDlgItemMessageA(ProgressWindow, IDC_TOTAL_PROGRESS, PBM_SETPOS, 0, 0);

    for (LRESULT i = 0; i < count; ++i) {
        if (HashStopRequested()) {
            return;
        }
        int index = static_cast<int>(i);
        // A check knows what each of its entries must digest to; an entry
        // beyond them, or one that cannot be read, is left alone.
        const CheckExpectation* expected =
            wording.check && static_cast<size_t>(i) < CheckExpectations.size() ? &CheckExpectations[i] : NULL;
        if ((!wording.check || expected) && ReadEntry(traffic, index, count) && FileNameBuffer[0] != '\0') {
            const DigestKind kind = expected ? expected->algorithm : wording.kind;
            IDigestor* digestor = digestors.Get(kind);
            ScopedFile file(OpenToRead(FileNameBuffer));
            FileOutcome outcome =
                file.IsValid() ? DigestFile(file.Get(), index, digestor, display) : FileOpenFailed;
            if (outcome == FileStopped || (outcome == FileOpenFailed && HashStopRequested())) {
                // An open or a read broken by a cancel leaves the entry as it was.
                return;
            }
            const std::string line = EntryLine(wording, kind, outcome, digestor, expected);
            if (!line.empty()) {
                ReplaceEntry(traffic, index, line.c_str());
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
    Wording wording = {};
    wording.kind = SelectedAlgorithm(MainWindow);
    wording.check = !CheckExpectations.empty();

    // The window thread may load other texts while we run: keep our own copies.
    char failFormat[SharedTextSize];
    const char* loaded = LoadText(IDS_OPEN_FAILED);
    if (loaded) {
        lstrcpynA(failFormat, loaded, sizeof failFormat);
        wording.failFormat = failFormat;
    }
    const UINT verdictIds[] = {IDS_VERDICT_OK, IDS_VERDICT_FAILED, IDS_VERDICT_MISSING,
                               IDS_VERDICT_READ_ERROR};
    for (int v = VerdictOK; v <= VerdictReadError; ++v) {
        const char* word = LoadText(verdictIds[v]);
        lstrcpynA(wording.verdicts[v], word ? word : VerdictText(static_cast<Verdict>(v)),
                  sizeof wording.verdicts[v]);
    }

    // About 66 KiB: kept off the thread's stack.
    std::unique_ptr<ListTraffic> traffic(new (std::nothrow) ListTraffic());
    LRESULT count = FileList->EntryCount();
    if (traffic && count != LB_ERR) {
        traffic->lastHandOver = GetTickCount64();
        try {
            RunJob(wording, count, *traffic);
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
