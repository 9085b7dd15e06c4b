#include "run/progress_dialog.h"

#include <commctrl.h>
#include <uxtheme.h>


#include "app/app_state.h"
#include "app/list_painting.h"
#include "app/load_text.h"
#include "app/palette.h"
#include "app/program_icon.h"
#include "app/set_caption.h"
#include "app/show_message.h"
#include "companion/varnolib.h"
#include "res/resource.h"
#include "run/hash_job.h"
#include "run/taskbar.h"

namespace {

// How long a cancel waits for the job to honour its stop request. The job
// checks it before every 1024-byte block, so it normally ends at once.
const ULONGLONG StopTimeout = 5000;

void DressProgressBar(HWND bar) {
    SetWindowTheme(bar, L" ", L" ");
    SetWindowLongPtrA(bar, GWL_EXSTYLE, WS_EX_NOPARENTNOTIFY);
    SendMessageA(bar, PBM_SETBARCOLOR, 0, DarkGrey);
}

void EnableSaveAndClear() {
    HMENU menu = GetMenu(MainWindow);
    EnableMenuItem(menu, IDM_SAVE_LIST, MF_BYCOMMAND | MF_ENABLED);
    EnableMenuItem(menu, IDM_CLEAR_LIST, MF_BYCOMMAND | MF_ENABLED);
    DrawMenuBar(MainWindow);
}

void EnableStart(BOOL enable) { EnableWindow(GetDlgItem(MainWindow, IDC_START), enable); }

void OnInitDialog(HWND dialog) {
    SetDialogCaption(dialog, IDS_PROGRESS_CAPTION);

    SetTextFromLanguage(dialog, IDC_CANCEL, IDS_CANCEL);
    SetTextFromLanguage(dialog, IDC_FILE_GROUP, IDS_FILE_GROUP);
    SetTextFromLanguage(dialog, IDC_TOTAL_GROUP, IDS_TOTAL_GROUP);
    StyleWindow(dialog, 1, 1, 0);
    SetCaption("");
    StyleWindow(GetDlgItem(dialog, IDC_FILE_GROUP), 2, 0, 0);
    StyleWindow(GetDlgItem(dialog, IDC_TOTAL_GROUP), 2, 0, 0);
    SetProgramIcon(dialog);
    AttachDialog(dialog, MainWindow);
    EnableStart(FALSE);
    StyleWindow(GetDlgItem(dialog, IDC_PROGRESS_FILE_NAME), 0, 0, 0);
    DressProgressBar(GetDlgItem(dialog, IDC_FILE_PROGRESS));
    DressProgressBar(GetDlgItem(dialog, IDC_TOTAL_PROGRESS));

    // The job reports to ProgressWindow, so it is set before the job exists.
    ProgressWindow = dialog;
    ClearHashStop();
    HoldListPainting(); // released by the teardown
    HashThread = CreateThread(NULL, 0, HashWorkerThread, NULL, 0, NULL);
    if (!HashThread) {
        ShowMessage(MainWindow, IDS_THREAD_FAILED, MB_TASKMODAL | MB_ICONERROR);
        EnableStart(TRUE);
        DestroyWindow(dialog);
        return;
    }
    EnableWindow(GetDlgItem(MainWindow, IDC_FILE_LIST), FALSE);
}

// Waits for the worker while carrying out the messages it sends us: a job
// that is inside a list change finishes it, and then sees the stop request.
bool WaitForWorker(HANDLE thread) {
    ULONGLONG deadline = GetTickCount64() + StopTimeout;
    for (;;) {
        ULONGLONG now = GetTickCount64();
        DWORD left = now < deadline ? static_cast<DWORD>(deadline - now) : 0;
        DWORD woke = MsgWaitForMultipleObjects(1, &thread, FALSE, left, QS_SENDMESSAGE);
        if (woke == WAIT_OBJECT_0) {
            return true;
        }
        if (woke != WAIT_OBJECT_0 + 1) {
            return WaitForSingleObject(thread, 0) == WAIT_OBJECT_0;
        }
        MSG message;
        PeekMessageA(&message, NULL, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
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
    EnableWindow(GetDlgItem(MainWindow, IDC_FILE_LIST), TRUE);
    EnableSaveAndClear();
    // Last: the main window is whole again when it sees no dialog.
    ProgressWindow = NULL;
}

// The job is done and waits inside this message only to return: its handle
// is closed here, so the teardown has no worker to stop.
void OnHashDone(HWND dialog) {
    if (HashStopRequested()) {
        // A teardown is already waiting for the worker; let it return.
        return;
    }
    EnableSaveAndClear();
    EnableStart(FALSE);
    CloseHandle(HashThread);
    HashThread = NULL;
    DestroyWindow(dialog);
}

} // namespace

bool ReapStoppedHashWorker() {
    if (HashThread && !ProgressWindow && WaitForSingleObject(HashThread, 0) == WAIT_OBJECT_0) {
        CloseHandle(HashThread);
        HashThread = NULL;
    }
    return HashThread == NULL;
}

INT_PTR CALLBACK ProgressDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(dialog);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_CANCEL) {
            EnableSaveAndClear();
            EnableStart(TRUE);
            DestroyWindow(dialog);
        }
        break;
    case WM_SYSCOMMAND:
        if (LOWORD(wParam) == SC_CLOSE) {
            DestroyWindow(dialog);
        }
        break;
    case MSG_HASH_DONE:
        OnHashDone(dialog);
        break;
    case WM_CLOSE:
        DestroyWindow(dialog);
        break;
    case WM_DESTROY:
        OnDestroy();
        break;
    }
    return FALSE;
}
