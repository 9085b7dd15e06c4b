#include "gather/folder_expand_thread.h"

#include <commctrl.h>

#include <string.h>

#include "window/app_state.h"
#include "window/list_commands.h"
#include "window/list_painting.h"
#include "base/load_text.h"
#include "window/private_messages.h"
#include "window/show_message.h"
#include "window/taskbar.h"
#include "gather/folder_scan.h"
#include "res/resource.h"

FolderQueue PendingFolders = {};

namespace {

// Every call below is a synchronous message that the window thread carries
// out, so the worker never changes a window itself.
void SetStartText(UINT textId) { SetTextFromLanguage(MainWindow, IDC_START, textId); }

void ShowBusy() {
    EnableWindow(GetDlgItem(MainWindow, IDC_FILE_LIST), FALSE);
    ShowWindow(GetDlgItem(MainWindow, IDC_SELECTED_PATH), SW_HIDE);
    ShowWindow(GetDlgItem(MainWindow, IDC_MAIN_PROGRESS), SW_SHOW);
    SetTaskbarState(TBPF_INDETERMINATE);
    SendDlgItemMessageA(MainWindow, IDC_MAIN_PROGRESS, PBM_SETMARQUEE, 1, 0);
    SetStartText(IDS_START_EXPANDING);
}

void ShowIdle() {
    SetTaskbarState(TBPF_NOPROGRESS);
    SetStartText(IDS_START);
    SendDlgItemMessageA(MainWindow, IDC_MAIN_PROGRESS, PBM_SETMARQUEE, 0, 0);
    ShowWindow(GetDlgItem(MainWindow, IDC_MAIN_PROGRESS), SW_HIDE);
    ShowWindow(GetDlgItem(MainWindow, IDC_SELECTED_PATH), SW_SHOW);
    EnableWindow(GetDlgItem(MainWindow, IDC_FILE_LIST), TRUE);
}

} // namespace

DWORD WINAPI FolderExpandThread(LPVOID) {
    // The queue is this thread's alone: the drop filled it before starting us
    // and the list, the drop target, stays disabled until we are done.
    if (PendingFolders.count > 0) {
        ShowBusy();
        char popped[PathBufferSize];
        char folder[PathBufferSize];
        while (PendingFolders.count > 0) {
            EnableWindow(GetDlgItem(MainWindow, IDC_START), FALSE);
            PendingFolders.Pop(popped);
            memcpy(folder, popped, sizeof folder);
            ScanFolder(folder);
        }
        EnableWindow(GetDlgItem(MainWindow, IDC_START), TRUE);
        PendingFolders.Free();
        ShowIdle();
    } else {
        PendingFolders.Free();
    }
    SendMessageA(MainWindow, MSG_SCAN_DONE, 0, 0);
    return 0;
}

void StartFolderExpansion(HWND window) {
    // The handle is stored before this thread reads messages again, so the
    // worker's MSG_SCAN_DONE always finds it.
    ExpandThread = CreateThread(NULL, 0, FolderExpandThread, NULL, 0, NULL);
    if (ExpandThread) {
        HoldListPainting(); // released by MSG_SCAN_DONE
        UpdateListCommands(); // no save of a half-walked list
    } else {
        PendingFolders.count = 0;
        PendingFolders.Free();
        ShowMessage(window, IDS_THREAD_FAILED, MB_TASKMODAL | MB_ICONERROR);
    }
}
