#include "run/hash_job.h"

#include <commctrl.h>
#include <shlwapi.h>

#include <string.h>

#include <memory>
#include <new>
#include <string>
#include <vector>

#include "base/algorithm_names.h"
#include "base/check_tally.h"
#include "base/code_page.h"
#include "base/digest_file.h"
#include "base/list_file.h"
#include "base/load_text.h"
#include "base/seek_penalty.h"
#include "engine/digestor.h"
#include "gather/new_files.h"
#include "res/resource.h"
#include "base/digest_workers.h"
#include "base/kind_choice.h"
#include "run/entry_batches.h"
#include "run/entry_sizer.h"
#include "run/progress_readouts.h"
#include "base/hash_stop.h"
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

// The run's readouts and what they count: the entries done of all, the bytes
// of the files done and under way of all those of the list. The bytes in all
// are known once every entry's size is: the workers learn those of the files
// they read, the sizer those of the entries not done, which it sizes only when
// the run outlasts SizerDelay without knowing them (a shorter run is over
// before it would tell).
struct Readouts {
    ProgressReadouts shown;
    EntrySizer sizer;
    ULONGLONG started;  // tick of the run's start
    ULONGLONG finished; // bytes of the entries done
};

const ULONGLONG SizerDelay = 2000; // as the console's progress line: a shorter run needs no time left

// The counts now, with head the earliest entry not done and filled the end of
// those under way.
RunCounts CountsNow(Readouts& readouts, DigestWorkers& workers, int head, int filled, LRESULT count) {
    RunCounts counts = {
        static_cast<uint64_t>(head), static_cast<uint64_t>(count), true, readouts.finished, 0, false};
    ULONGLONG sizes = 0;
    bool sized = true;
    for (int index = head; index < filled; ++index) {
        const WorkSlot& slot = workers.Slot(index);
        if (slot.leave) {
            continue;
        }
        counts.bytesDone +=
            static_cast<ULONGLONG>(InterlockedCompareExchange64(const_cast<LONG64*>(&slot.done), 0, 0));
        ULONGLONG size = KnownSize(slot);
        sized = sized && (size > 0 || readouts.sizer.SizeOf(index, size));
        sizes += size;
    }
    ULONGLONG ahead = 0;
    readouts.sizer.Done(head);
    if (sized && (filled == count || readouts.sizer.BytesFrom(filled, ahead))) {
        counts.bytesAll = readouts.finished + sizes + ahead;
        // More bytes than sized (a file that grew meanwhile) leave the bytes in all unknown.
        counts.bytesKnown = counts.bytesAll >= counts.bytesDone;
    }
    return counts;
}

// Feeds the readouts, and starts the sizer once the run outlasts SizerDelay without the bytes in all.
void ShowCounts(Readouts& readouts, DigestWorkers& workers, int head, int filled, LRESULT count, bool now) {
    const RunCounts counts = CountsNow(readouts, workers, head, filled, count);
    if (!counts.bytesKnown && !readouts.sizer.Started() &&
        GetTickCount64() - readouts.started >= SizerDelay) {
        readouts.sizer.Start(head, static_cast<int>(count));
    }
    ShowReadouts(readouts.shown, counts, now);
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

// Hands the waiting lines to the window thread, which replaces the entries in slices; a window
// that applies nothing more (the run's dialog is gone) ends the hand-over.
void HandOverLines(ListTraffic& traffic) {
    HandOverLineBatch(traffic.lines);
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

// Copies entry index into path, reading the next batch when needed.
bool ReadEntry(ListTraffic& traffic, int index, LRESULT count, char* path) {
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
    memcpy(path, reads.entries[k], PathBufferSize);
    return true;
}

// What the job writes: a digest run's algorithm and failure format, or a
// check's verdict words (its algorithms and digests come with the entries).
struct Wording {
    DigestKind kind;
    const char* failFormat; // null: a failed entry keeps its text
    bool check;
    std::vector<EntryFinding>* found; // by entry, for a recorded list; null: nothing is kept
    char verdicts[VerdictNew + 1][64];
};

// Whether entry index may go to the workers now, and with which kind and tries: an entry of a check
// whose algorithm its length alone told waits while the first of its length is out (KindChoice).
bool KindOfEntry(const Wording& wording, KindChoice& choice, int index, DigestKind& kind, KindTries& tries) {
    const CheckExpectation* expected = wording.check && static_cast<size_t>(index) < CheckExpectations.size()
                                           ? &CheckExpectations[index]
                                           : NULL;
    kind = expected ? expected->algorithm : wording.kind;
    tries = KindTries();
    return !expected || !expected->byLength || choice.Offer(expected->digest, kind, tries);
}

// The slot of entry index as the workers need it, with kind and tries from KindOfEntry. A check
// knows what each of its entries must digest to; an entry beyond them, an empty one or one that
// cannot be read is left alone.
void PrepareSlot(const Wording& wording, ListTraffic& traffic, int index, LRESULT count, DigestKind kind,
                 const KindTries& tries, WorkSlot& slot) {
    const CheckExpectation* expected = wording.check && static_cast<size_t>(index) < CheckExpectations.size()
                                           ? &CheckExpectations[index]
                                           : NULL;
    slot.leave =
        (wording.check && !expected) || !ReadEntry(traffic, index, count, slot.path) || slot.path[0] == '\0';
    slot.kind = kind;
    slot.tries = tries; // an entry left alone gives its length's trial to the next
    slot.serial = !slot.leave && HasSeekPenalty(slot.path);
    // A recorded list's run keeps every file's record; a record comment is checked even in another list.
    slot.lastWrite = wording.found || (expected && expected->hasRecord) ? LastWriteRead : LastWriteSkipped;
    slot.state = slot.leave ? SlotDone : SlotWaiting;
    slot.size = 0;
    slot.written = 0;
    slot.done = 0;
    slot.outcome = FileStopped;
    slot.digest.clear();
}

// The dialog shows the file of entry index, whose worker has opened it: its
// name once, the per-file bar as far as the worker got, in the range of the
// file's size once the worker knows it.
void ShowEntry(Display& display, int& shown, int index, const WorkSlot& slot) {
    const ULONGLONG size = KnownSize(slot);
    const LONG range = static_cast<LONG>(size < FileBarSteps ? size : FileBarSteps);
    if (index != shown) {
        // The file the dialog names ends with its bar full before another takes its place, though
        // reports are coalesced: one report more, at most, for each file the dialog has named.
        if (display.shownFileRange >= 0 && !display.nameChanged &&
            display.wantedFilePos == display.wantedFileRange &&
            display.shownFilePos != display.wantedFilePos) {
            Flush(display, true);
        }
        PathCompactPathExA(display.wantedName, slot.path, DisplayPathSize, 0);
        display.nameChanged = true;
        shown = index;
    }
    display.wantedFileRange = range;
    ULONGLONG done =
        static_cast<ULONGLONG>(InterlockedCompareExchange64(const_cast<LONG64*>(&slot.done), 0, 0));
    display.wantedFilePos = FileBarPosition(done, size, range);
    // The first opened file shows at once, so the dialog never opens blank.
    Flush(display, display.shownFileRange < 0);
}

// A check's verdict on the file of entry slot: a NEW file's, a recorded
// entry's (CORRUPTED or MODIFIED where its digest differs) or a plain one's.
Verdict EntryVerdict(const WorkSlot& slot, const CheckExpectation& expected) {
    if (expected.entry < 0 && slot.outcome == FileDigested) {
        return VerdictNew;
    }
    if (expected.hasRecord) {
        return RecordVerdict(slot.outcome, slot.digest, expected.digest, expected.record,
                             FileRecord{slot.size, slot.written});
    }
    return CheckVerdict(slot.outcome, slot.digest, expected.digest);
}

// The line entry slot gets, or the empty text when it keeps its own: a result
// or failure line of a digest run (a result of an earlier run stays), a
// verdict line of a check, which it also counts.
std::string EntryLine(const Wording& wording, const WorkSlot& slot, const CheckExpectation* expected,
                      Verdict verdict) {
    const char* name = KindName(slot.kind);
    if (expected) {
        CountVerdict(CheckResult, verdict);
        return std::string(wording.verdicts[verdict]) + " <- " + name + " -> " + slot.path;
    }
    if (slot.outcome == FileDigested) {
        return ResultLine(slot.digest, name, slot.path);
    }
    if (wording.failFormat && !strstr(slot.path, " <- ")) {
        return FailureLine(wording.failFormat, name, slot.path);
    }
    return std::string();
}

// One run over the list; returns when it is done or stopped, having sent no
// report after a stop request. The job reads the entries ahead for the
// workers and replaces them in list order as they are done: an entry finished
// ahead waits for those before it, and the dialog shows the earliest entry
// not yet done. The lines of the entries replaced so far are handed over by
// the caller either way.
void RunJob(const Wording& wording, LRESULT count, ListTraffic& traffic, DigestWorkers& workers,
            Readouts& readouts) {
    Display display = {};
    display.count = count;
    display.shownFileRange = -1;
    display.shownFilePos = -1;
    int shown = -1; // the entry whose name the dialog shows

    SetTaskbarState(TBPF_NORMAL);
    SetTaskbarValue(0, count);
    SendDlgItemMessageA(ProgressWindow, IDC_TOTAL_PROGRESS, PBM_SETRANGE32, 0, count);
    SendDlgItemMessageA(ProgressWindow, IDC_TOTAL_PROGRESS, PBM_SETPOS, 0, 0);

    const int entries = static_cast<int>(count);
    int filled = 0;
    int head = 0;
    readouts.started = GetTickCount64();
    readouts.shown.speed = SpeedMeter(); // measured from here, not from the search for NEW files
    ShowCounts(readouts, workers, head, filled, count, true);
    KindChoice choice;
    while (head < entries) {
        if (HashStopRequested()) {
            return;
        }
        const int before = filled;
        DigestKind kind = wording.kind;
        KindTries tries;
        for (; filled < entries && filled < head + SlotCount &&
               KindOfEntry(wording, choice, filled, kind, tries);
             ++filled) {
            PrepareSlot(wording, traffic, filled, count, kind, tries, workers.Slot(filled));
        }
        if (filled > before) {
            workers.Offer(filled);
        }
        for (int ready = workers.Done(head, filled, static_cast<DWORD>(ReportInterval)); ready > 0;
             --ready, ++head) {
            const WorkSlot& slot = workers.Slot(head);
            if (!slot.tries.others.empty()) {
                choice.Back(slot.tries.expected.size(), slot.outcome == FileDigested, slot.kind);
            }
            if (!slot.leave) {
                if (slot.outcome == FileStopped) {
                    // An open or a read broken by a cancel (or a worker out of
                    // memory) leaves the entry as it was, and ends the run.
                    return;
                }
                if (slot.outcome != FileOpenFailed) {
                    ShowEntry(display, shown, head, slot);
                }
                readouts.finished += FinishedBytes(slot);
                const CheckExpectation* expected = wording.check ? &CheckExpectations[head] : NULL;
                const Verdict verdict = expected ? EntryVerdict(slot, *expected) : VerdictOK;
                if (wording.found) {
                    (*wording.found)[head] = {slot.outcome, verdict, slot.path, slot.digest,
                                              FileRecord{slot.size, slot.written}};
                }
                const std::string line = EntryLine(wording, slot, expected, verdict);
                if (!line.empty()) {
                    ReplaceEntry(traffic, head, line.c_str());
                }
            }
            display.wantedTotal = head + 1;
            Flush(display, false);
        }
        if (head < entries && !workers.Slot(head).leave && workers.Opened(head)) {
            ShowEntry(display, shown, head, workers.Slot(head));
        }
        ShowCounts(readouts, workers, head, filled, count, false);
        // The list keeps pace with the display.
        if (GetTickCount64() - traffic.lastHandOver >= ReportInterval) {
            HandOverLines(traffic);
        }
    }
    // The display ends as a report of every block and entry would have left it.
    Flush(display, true);
    ShowCounts(readouts, workers, head, filled, count, true);
}

// The files under a recorded list's folders that it does not name: they are
// looked for here, off the window thread, and appended before the run counts
// its entries, so that this one run digests them too. The walk works on the
// job's own copies, which a job left behind by a cancel still has (the
// listed paths' is 16 bytes an entry).
void AddNewFiles() {
    const std::string list = Recorded.list;
    const std::vector<std::string> folders = Recorded.heading.folders;
    ListedPaths listed = Recorded.listed;
    std::vector<std::string> added = FindNewFiles(list, folders, listed);
    if (!added.empty() && !HashStopRequested()) {
        SendMessageA(MainWindow, MSG_ADD_NEW_FILES, 0, reinterpret_cast<LPARAM>(&added));
    }
}

// The entries the run goes over, once a recorded list's check has appended
// its NEW files; a run for a recorded list keeps room for what it finds of
// each. LB_ERR when the list cannot tell or there is no room.
LRESULT CountEntries(const Wording& wording, bool recordedCheck) {
    try {
        if (recordedCheck) {
            AddNewFiles();
        }
        LRESULT count = FileList->EntryCount();
        if (wording.found && count != LB_ERR) {
            wording.found->assign(static_cast<size_t>(count), EntryFinding());
        }
        return count;
    } catch (const std::bad_alloc&) {
        return LB_ERR;
    }
}

} // namespace

DWORD WINAPI HashWorkerThread(LPVOID) {
    // A synchronous call first: the window thread carries it out only after
    // it has stored the dialog in ProgressWindow.
    Wording wording = {};
    wording.kind = SelectedAlgorithm(MainWindow);
    wording.check = !CheckExpectations.empty();
    std::vector<EntryFinding> found; // handed to the window thread with the end of the run
    wording.found = Recorded.list.empty() ? NULL : &found;
    const bool recordedCheck = wording.check && Recorded.check;

    // The window thread may load other texts while we run: keep our own copies.
    char failFormat[SharedTextSize];
    const char* loaded = LoadText(IDS_OPEN_FAILED);
    if (loaded) {
        lstrcpynA(failFormat, loaded, sizeof failFormat);
        wording.failFormat = failFormat;
    }
    for (int v = VerdictOK; v <= VerdictNew; ++v) {
        CopyCut(wording.verdicts[v], sizeof wording.verdicts[v],
                LoadVerdictWord(static_cast<Verdict>(v)).c_str());
    }

    // About 266 KiB and 37 KiB: kept off the thread's stack.
    std::unique_ptr<ListTraffic> traffic(new (std::nothrow) ListTraffic());
    std::unique_ptr<DigestWorkers> workers(new (std::nothrow) DigestWorkers());
    std::unique_ptr<Readouts> readouts(new (std::nothrow) Readouts());
    if (readouts && recordedCheck) {
        // The search for NEW files comes first, and may take a while: nothing is counted yet.
        const RunCounts counting = {0, 0, false, 0, 0, false};
        ShowReadouts(readouts->shown, counting, true);
    }
    LRESULT count = CountEntries(wording, recordedCheck);
    if (traffic && workers && readouts && count != LB_ERR &&
        workers->Start(WorkerCount(), CurrentHashBlockHook())) {
        traffic->lastHandOver = GetTickCount64();
        try {
            RunJob(wording, count, *traffic, *workers, *readouts);
        } catch (const std::bad_alloc&) {
            // Out of memory: the run ends as far as it got, like a finished one.
        }
        // Its last reading of the list before the lines go and the list is the window's again.
        readouts.reset();
        HandOverLines(*traffic);
        // After the lines, so that a worker that does not stop holds back none of them.
        workers->End();
    }
    if (HashStopRequested()) {
        // The dialog's teardown clears the taskbar and expects no more reports.
        return 0;
    }
    SetTaskbarState(TBPF_NOPROGRESS);
    SendMessageA(ProgressWindow, MSG_HASH_DONE, 0, reinterpret_cast<LPARAM>(wording.found));
    return 0;
}
