#include "run/compare_job.h"

#include <commctrl.h>
#include <shlwapi.h>
#include <stdarg.h>
#include <stdio.h>

#include <iterator>
#include <new>
#include <string>

#include "base/algorithm_names.h"
#include "base/code_page.h"
#include "base/hash_stop.h"
#include "base/load_text.h"
#include "res/resource.h"
#include "run/entry_batches.h"
#include "run/progress_dialog.h"
#include "run/progress_readouts.h"
#include "window/program_dialog.h"
#include "window/app_state.h"
#include "window/main_look.h"
#include "window/private_messages.h"
#include "window/show_message.h"
#include "window/taskbar.h"

namespace {

// As the hash job: the list keeps pace with the display, about 30 hand-overs a second at most.
const ULONGLONG HandOverInterval = 33;
const UINT DisplayPathSize = 51; // compacted path shown in the dialog, terminator included
// The total bar and the taskbar count the share done in this many steps.
const int TotalBarSteps = 10000;

// The verdicts' words by CompareVerdict, with the English one for a module that lacks it.
const struct {
    UINT id;
    const char* english;
} VerdictWords[] = {{IDS_VERDICT_SAME, "SAME"},       {IDS_VERDICT_DIFFERENT, "DIFFERENT"},
                    {IDS_VERDICT_MISSING, "MISSING"}, {IDS_VERDICT_EXTRA, "EXTRA"},
                    {IDS_VERDICT_MOVED, "MOVED"},     {IDS_VERDICT_READ_ERROR, "READ ERROR"}};

// The comparison at work. One run exists at a time, a worker left behind by a
// cancel included (ReapStoppedHashWorker), so it is kept here, off every stack.
// The window thread sets the request and pending before the worker starts and
// reads the outcome after it has reported its end; the rest is the worker's.
struct Comparison {
    CompareRequest request;
    bool pending; // a comparison's run was started and MSG_RUN_ENDED is not yet handled
    CompareOutcome outcome;
    CompareTally tally;
    bool copyInside;
    std::string words[std::size(VerdictWords)];
    std::string otherForm; // IDS_COMPARE_OTHER_FORM
    LineBatch lines;
    ULONGLONG lastHandOver;
    ProgressReadouts readouts;
    std::string shownPath; // the file the dialog names
    int shownShare;        // of TotalBarSteps, on the total bar
};
Comparison Job;

std::string Formatted(const char* format, ...) {
    va_list values, again;
    va_start(values, format);
    va_copy(again, values);
    const int length = vsnprintf(NULL, 0, format, values);
    std::string text(length > 0 ? static_cast<size_t>(length) : 0, '\0');
    if (length > 0) {
        vsnprintf(&text[0], text.size() + 1, format, again);
    }
    va_end(again);
    va_end(values);
    return text;
}

std::string Loaded(UINT id, const char* missing) {
    const char* text = LoadText(id);
    return text ? text : missing;
}

// relative (a folder's ends with '\') on the side of root; the root itself for
// the empty path (two files compared).
std::string OnSide(const std::string& root, const std::string& relative) {
    if (relative.empty()) {
        return root;
    }
    return root.back() == '\\' ? root + relative : root + "\\" + relative;
}

// "VERDICT <- ALG -> path" with the original's full path, the copy's for what
// only the copy has or could not be read there, both for a move; a pair whose
// names differ in their Unicode normalisation alone also names the copy's.
std::string FindingLine(const CompareFinding& finding) {
    const std::string& original = Job.request.original;
    const std::string& copy = Job.request.copy;
    const std::string copyName = finding.copyPath.empty() ? finding.path : finding.copyPath;
    std::string shown;
    switch (finding.verdict) {
    case CompareExtra:
        shown = OnSide(copy, finding.path);
        break;
    case CompareMoved:
        shown = OnSide(original, finding.path) + " -> " + OnSide(copy, copyName);
        break;
    case CompareReadError:
        shown = finding.side == SideCopy ? OnSide(copy, copyName) : OnSide(original, finding.path);
        break;
    default:
        shown = OnSide(original, finding.path);
        break;
    }
    const std::string line =
        Job.words[finding.verdict] + " <- " + KindName(Job.request.kind) + " -> " + shown;
    if (finding.otherForm && finding.verdict != CompareMoved) {
        return Formatted(Job.otherForm.c_str(), line.c_str(), OnSide(copy, copyName).c_str());
    }
    return line;
}

void HandOver() {
    HandOverLineBatch(Job.lines);
    Job.lastHandOver = GetTickCount64();
}

void OnFound(const CompareFinding& finding, void*) {
    LineBatch& lines = Job.lines;
    try {
        // A line longer than an entry may be is cut on a character boundary, never lost.
        CopyCut(lines.lines[lines.count], PathBufferSize, FindingLine(finding).c_str());
    } catch (const std::bad_alloc&) {
        return; // out of memory: the tally still counts it
    }
    lines.index[lines.count] = AppendedLine;
    if (++lines.count == EntryBatchSize || GetTickCount64() - Job.lastHandOver >= HandOverInterval) {
        HandOver();
    }
}

// The share done, by bytes once there are any to read, else by files.
int ShareDone(const RunCounts& counts) {
    const uint64_t done = counts.bytesAll > 0 ? counts.bytesDone : counts.filesDone;
    const uint64_t all = counts.bytesAll > 0 ? counts.bytesAll : counts.filesAll;
    if (all == 0 || done >= all) {
        return all == 0 ? 0 : TotalBarSteps;
    }
    return static_cast<int>(static_cast<double>(done) / static_cast<double>(all) * TotalBarSteps);
}

// The readouts, the file being read (when the comparison names one), the total bar and the
// taskbar; the waiting lines go to the list meanwhile.
void OnProgress(const RunCounts& counts, const char* path, void*) {
    if (HashStopRequested()) {
        return;
    }
    ShowReadouts(Job.readouts, counts, false);
    if (path && *path && Job.shownPath != path) {
        Job.shownPath = path;
        char shown[DisplayPathSize];
        PathCompactPathExA(shown, path, DisplayPathSize, 0);
        SetDlgItemTextA(ProgressWindow, IDC_PROGRESS_FILE_NAME, shown);
    }
    const int share = ShareDone(counts);
    if (share != Job.shownShare) {
        SendDlgItemMessageA(ProgressWindow, IDC_TOTAL_PROGRESS, PBM_SETPOS, share, 0);
        SetTaskbarValue(static_cast<ULONGLONG>(share), TotalBarSteps);
        Job.shownShare = share;
    }
    if (GetTickCount64() - Job.lastHandOver >= HandOverInterval) {
        HandOver();
    }
}

// Thread entry point of the comparison's run; reports as HashWorkerThread does.
DWORD WINAPI CompareWorkerThread(LPVOID) {
    for (size_t k = 0; k < std::size(VerdictWords); ++k) {
        Job.words[k] = Loaded(VerdictWords[k].id, VerdictWords[k].english);
    }
    Job.otherForm = Loaded(IDS_COMPARE_OTHER_FORM, "%s");
    Job.outcome = CompareStopped;
    Job.tally = CompareTally();
    Job.copyInside = false;
    Job.lines.count = 0;
    Job.lines.applied = 0;
    Job.lastHandOver = GetTickCount64();
    Job.readouts = ProgressReadouts();
    Job.shownPath.clear();
    Job.shownShare = 0;

    SetTaskbarState(TBPF_NORMAL);
    SetTaskbarValue(0, TotalBarSteps);
    SendDlgItemMessageA(ProgressWindow, IDC_TOTAL_PROGRESS, PBM_SETRANGE32, 0, TotalBarSteps);
    const CompareSink sink = {OnFound, OnProgress, NULL};
    Job.outcome = CompareFolders(Job.request, sink, Job.tally, Job.copyInside);
    // The lines found so far reach the list after a stop too: the teardown takes them while it waits.
    HandOver();
    if (HashStopRequested()) {
        return 0;
    }
    SetTaskbarState(TBPF_NOPROGRESS);
    SendMessageA(ProgressWindow, MSG_HASH_DONE, 0, 0);
    return 0;
}

// The tally naming both sides; whether the copy lay inside the original and was
// left out of its files; whether the recorded list could not be written.
void ShowTally(HWND window) {
    const CompareTally& t = Job.tally;
    const std::string& original = Job.request.original;
    const std::string& copy = Job.request.copy;
    std::string text =
        Formatted(Loaded(IDS_COMPARE_TALLY, "%s\n%s\n%d %d %d %d %d %d %d").c_str(), original.c_str(),
                  copy.c_str(), t.same, t.different, t.missing, t.extra, t.moved, t.readErrors, t.otherForms);
    if (Job.copyInside) {
        text += "\n\n" +
                Formatted(Loaded(IDS_COMPARE_COPY_INSIDE, "%s\n%s").c_str(), copy.c_str(), original.c_str());
    }
    const bool recordFailed = Job.outcome == CompareRecordFailed;
    if (recordFailed) {
        text +=
            "\n\n" + Formatted(Loaded(IDS_COMPARE_RECORD_FAILED, "%s").c_str(), Job.request.record.c_str());
    }
    const bool passed = ComparePassed(t) && !recordFailed;
    MessageBoxA(window, text.c_str(), AppCaption,
                MB_TASKMODAL | MessageReading() | (passed ? MB_ICONINFORMATION : MB_ICONWARNING));
}

} // namespace

bool StartComparison(HWND window, const CompareRequest& request) {
    if (ProgressWindow || ExpandThread || !ReapStoppedHashWorker()) {
        return false;
    }
    Job.request = request;
    Job.pending = true;
    const RunStart start = {CompareWorkerThread, IDS_COMPARE_PROGRESS_CAPTION};
    HWND dialog =
        CreateProgramDialog(IDD_PROGRESS, window, ProgressDialogProc, reinterpret_cast<LPARAM>(&start));
    // A run that could not start, or has already ended, has destroyed its dialog and reports so.
    ProgressWindow = IsWindow(dialog) ? dialog : NULL;
    if (ProgressWindow) {
        // The comparison reads files on both sides at once and tells no file's share done.
        ShowWindow(GetDlgItem(ProgressWindow, IDC_FILE_PROGRESS), SW_HIDE);
        OfferSaveAndClear(false);
    } else if (!dialog) {
        Job.pending = false;
    }
    return dialog != NULL;
}

bool FinishComparison(HWND window, bool finished) {
    if (!Job.pending) {
        return false;
    }
    Job.pending = false;
    // A comparison's lines are no paths to digest, whatever became of its run.
    OfferStart(false);
    UpdateMainLook();
    if (!finished) {
        return true;
    }
    const UINT Refusal = MB_TASKMODAL | MB_ICONERROR;
    try {
        switch (Job.outcome) {
        case CompareOriginalUnreadable:
            ShowMessage(window, IDS_COMPARE_UNREADABLE, Job.request.original.c_str(), Refusal);
            break;
        case CompareCopyUnreadable:
            ShowMessage(window, IDS_COMPARE_UNREADABLE, Job.request.copy.c_str(), Refusal);
            break;
        case CompareSameFolder:
            ShowMessage(window, IDS_COMPARE_SAME_FOLDER, Job.request.original.c_str(), Refusal);
            break;
        case CompareStopped:
            break;
        case CompareFinished:
        case CompareRecordFailed:
            ShowTally(window);
            break;
        }
    } catch (const std::bad_alloc&) {
        // Out of memory: the lines stay without a word more.
    }
    return true;
}
