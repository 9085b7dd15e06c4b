#include "run/progress_dialog.h"

#include <commctrl.h>

#include <vector>

#include "base/mirrored_layout.h"
#include "base/load_text.h"
#include "companion/varnolib.h"
#include "res/resource.h"
#include "run/hash_job.h"
#include "run/progress_readouts.h"
#include "base/hash_stop.h"
#include "window/app_state.h"
#include "window/dialog_dressing.h"
#include "window/list_painting.h"
#include "window/main_look.h"
#include "window/private_messages.h"
#include "window/progress_bar.h"
#include "window/show_message.h"
#include "window/taskbar.h"

namespace {

// How long a cancel waits for the job to honour its stop request. The job
// checks it before every 1024-byte block and its blocking reads are cancelled,
// so it normally ends at once.
const ULONGLONG StopTimeout = 5000;
// How often the wait cancels the job's pending I/O again: an open or a read
// that starts after one cancel is caught by the next.
const DWORD CancelInterval = 20;

// Set when the job has reported the end of its run, for the teardown.
bool RunFinished = false;

const ControlText ProgressTexts[] = {
    {IDC_CANCEL, IDS_CANCEL},
    {IDC_FILE_GROUP, IDS_FILE_GROUP},
    {IDC_TOTAL_GROUP, IDS_TOTAL_GROUP},
};

const ControlLook ProgressLooks[] = {
    {IDC_FILE_GROUP, StyleGroup},
    {IDC_TOTAL_GROUP, StyleGroup},
    {IDC_PROGRESS_FILE_NAME, StyleControl},
};

const RunStart HashRun = {HashWorkerThread, IDS_PROGRESS_CAPTION};

void OnInitDialog(HWND dialog, const RunStart* start) {
    start = start ? start : &HashRun;
    const std::vector<LaterText> readouts = WidestReadouts();
    DressDialog(dialog, MakeDressing(start->captionId, ProgressTexts, ProgressLooks, true, &readouts));
    KeepLeftToRight(GetDlgItem(dialog, IDC_PROGRESS_FILE_NAME)); // a path
    DressProgressBar(GetDlgItem(dialog, IDC_FILE_PROGRESS));
    DressProgressBar(GetDlgItem(dialog, IDC_TOTAL_PROGRESS));

    // The job reports to ProgressWindow, so it is set before the job exists.
    ProgressWindow = dialog;
    RunFinished = false;
    ClearHashStop();
    HoldListPainting(); // released by the teardown
    // The list stays disabled for the whole run, so the list the run digests
    // is the whole list (UpdateMainLook; the teardown gives it back).
    OfferStart(false);
    UpdateMainLook();
    HashThread = CreateThread(NULL, 0, start->job, NULL, 0, NULL);
    if (!HashThread) {
        ShowMessage(MainWindow, IDS_THREAD_FAILED, MB_TASKMODAL | MB_ICONERROR);
        OfferStart(true);
        DestroyWindow(dialog);
    }
}

// Waits for the worker while carrying out the messages it sends us (a job
// that is inside a list change finishes it, and then sees the stop request)
// and painting, so the window keeps answering. A job blocked in an open or a
// read that does not return (a stalled share, a silent pipe) has that I/O
// cancelled, again and again until it ends.
bool WaitForWorker(HANDLE thread) {
    ULONGLONG deadline = GetTickCount64() + StopTimeout;
    for (;;) {
        CancelSynchronousIo(thread);
        ULONGLONG now = GetTickCount64();
        if (now >= deadline) {
            return WaitForSingleObject(thread, 0) == WAIT_OBJECT_0;
        }
        DWORD left = static_cast<DWORD>(deadline - now);
        DWORD woke = MsgWaitForMultipleObjects(
            1, &thread, FALSE, left < CancelInterval ? left : CancelInterval, QS_SENDMESSAGE | QS_PAINT);
        if (woke == WAIT_OBJECT_0) {
            return true;
        }
        MSG message;
        PeekMessageA(&message, NULL, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        // Bounded: a window that does not validate itself must not hold us here.
        for (int k = 0; k < 16 && PeekMessageA(&message, NULL, WM_PAINT, WM_PAINT, PM_REMOVE | PM_QS_PAINT);
             ++k) {
            DispatchMessageA(&message);
        }
    }
}

void OnDestroy() {
    if (HashThread) {
        RequestHashStop();
        if (WaitForWorker(HashThread)) {
            CloseHandle(HashThread);
            HashThread = NULL;
        } else {
            // Its stop request stays in force; ReapStoppedHashWorker lets
            // the next run start once it has ended.
            ShowMessage(NULL, IDS_CANNOT_STOP, MB_ICONERROR);
        }
        SetTaskbarState(TBPF_NOPROGRESS);
    }
    ReleaseListPainting();
    OfferSaveAndClear(true);
    // A worker left behind reads the expectations no more: its list changes are dropped.
    if (!HashThread) {
        CheckExpectations.clear();
    }
    // Last: the main window is whole again when it sees no dialog.
    ProgressWindow = NULL;
    UpdateMainLook();
    PostMessageA(MainWindow, MSG_RUN_ENDED, RunFinished, 0);
}

// The tally of a check that ran to its end; a recorded list's counts more.
void ShowCheckTally() {
    const CheckTally& tally = CheckResult;
    const char* format = LoadText(tally.recorded ? IDS_CHECK_TALLY_RECORDED : IDS_CHECK_TALLY);
    char text[SharedTextSize + 128];
    if (tally.recorded) {
        wsprintfA(text, format ? format : "%d %d %d %d %d %d %d %d %d", tally.checked, tally.ok,
                  tally.corrupted, tally.modified, tally.failed - tally.readErrors, tally.missing,
                  tally.readErrors, tally.added, tally.notChecked);
    } else {
        wsprintfA(text, format ? format : "%d %d %d %d %d", tally.checked, tally.ok, tally.failed,
                  tally.missing, tally.notChecked);
    }
    MessageBoxA(MainWindow, text, AppCaption,
                MB_TASKMODAL | MessageReading() | (CheckPassed(tally) ? MB_ICONINFORMATION : MB_ICONWARNING));
}

// The job is done and waits inside this message only to return: its handle
// is closed here, so the teardown has no worker to stop.
void OnHashDone(HWND dialog, std::vector<EntryFinding>* found) {
    if (HashStopRequested()) {
        // A teardown is already waiting for the worker; let it return.
        return;
    }
    CloseHandle(HashThread);
    HashThread = NULL;
    const bool check = !CheckExpectations.empty();
    RunFinished = true;
    // A recorded list's check and recording keep what the run found.
    if (found && !Recorded.list.empty()) {
        Recorded.found.swap(*found);
    }
    if (check && Recorded.check) {
        Recorded.expectations.swap(CheckExpectations);
        Recorded.finished = true;
    }
    DestroyWindow(dialog);
    if (check) {
        ShowCheckTally();
    }
}

} // namespace

bool ReapStoppedHashWorker() {
    if (HashThread && !ProgressWindow && WaitForSingleObject(HashThread, 0) == WAIT_OBJECT_0) {
        CloseHandle(HashThread);
        HashThread = NULL;
        CheckExpectations.clear(); // of a check whose worker was left behind
    }
    return HashThread == NULL;
}

INT_PTR CALLBACK ProgressDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(dialog, reinterpret_cast<const RunStart*>(lParam));
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_CANCEL) {
            OfferStart(true); // the rest of the list may be run again
            DestroyWindow(dialog);
        }
        break;
    case WM_SYSCOMMAND:
        if (IsCloseCommand(wParam)) {
            DestroyWindow(dialog);
        }
        break;
    case MSG_HASH_DONE:
        // Handled: WM_USER+1 is also DM_SETDEFID to the dialog manager.
        OnHashDone(dialog, reinterpret_cast<std::vector<EntryFinding>*>(lParam));
        return TRUE;
    case WM_CLOSE:
        DestroyWindow(dialog);
        break;
    case WM_DESTROY:
        OnDestroy();
        break;
    }
    return FALSE;
}
