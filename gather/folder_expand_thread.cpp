#include "gather/folder_expand_thread.h"

#include "gather/folder_scan.h"
#include "res/resource.h"
#include "window/app_state.h"
#include "window/list_painting.h"
#include "window/main_look.h"
#include "window/private_messages.h"
#include "window/show_message.h"

FolderQueue PendingFolders = {};

DWORD WINAPI FolderExpandThread(LPVOID) {
    // The queue is this thread's alone: the drop filled it before starting us
    // and the list, the drop target, stays disabled until we are done. The
    // window thread gave the main window its busy look before we started.
    char folder[PathBufferSize];
    while (PendingFolders.count > 0 && !ScanStopped()) {
        PendingFolders.Pop(folder);
        ScanFolder(folder);
    }
    PendingFolders.Free();
    SendMessageA(MainWindow, MSG_SCAN_DONE, 0, 0);
    return 0;
}

void StartFolderExpansion(HWND window) {
    // The handle is stored before this thread reads messages again, so the
    // worker's MSG_SCAN_DONE always finds it.
    BeginScanProgress();
    ExpandThread = CreateThread(NULL, 0, FolderExpandThread, NULL, 0, NULL);
    if (ExpandThread) {
        HoldListPainting(); // released by MSG_SCAN_DONE
        UpdateMainLook();
    } else {
        PendingFolders.count = 0;
        PendingFolders.Free();
        EndScanProgress();
        ShowMessage(window, IDS_THREAD_FAILED, MB_TASKMODAL | MB_ICONERROR);
    }
}
