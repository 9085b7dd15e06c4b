#include "app/drop_intake.h"

#include "base/app_state.h"
#include "base/gui_listbox.h"
#include "base/list_painting.h"
#include "base/show_message.h"
#include "gather/folder_expand_thread.h"
#include "res/resource.h"
#include "run/progress_dialog.h"

// Fetches item index into FileNameBuffer; false for an empty path or one that
// would not fit (a cut path names another file).
static bool FetchDroppedPath(HDROP drop, UINT index) {
    UINT length = DragQueryFileA(drop, index, NULL, 0);
    if (length == 0 || length >= static_cast<UINT>(PathBufferSize)) {
        return false;
    }
    return DragQueryFileA(drop, index, FileNameBuffer, PathBufferSize) == length;
}

void OnDropFiles(HWND window, HDROP drop) {
    // A running worker owns PendingFolders, FileNameBuffer and ExpandThread;
    // the disabled list keeps most drops away, this catches the rest.
    if (ExpandThread || ProgressWindow || !ReapStoppedHashWorker()) {
        DragFinish(drop);
        return;
    }

    UINT count = DragQueryFileA(drop, 0xFFFFFFFF, NULL, 0);
    PendingFolders = FolderQueue::Create(static_cast<int32_t>(count));
    if (PendingFolders.status == NoMemory) {
        ShowMessage(window, IDS_DROP_NO_MEMORY, MB_TASKMODAL | MB_ICONERROR);
        DragFinish(drop);
        return;
    }

    for (UINT i = 0; i < count; ++i) {
        WIN32_FILE_ATTRIBUTE_DATA attributes;
        if (!FetchDroppedPath(drop, i) ||
            !GetFileAttributesExA(FileNameBuffer, GetFileExInfoStandard, &attributes)) {
            continue;
        }
        if (attributes.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            PendingFolders.Push(FileNameBuffer);
        } else {
            FileList->AddEntry(FileNameBuffer);
        }
    }
    DragFinish(drop);

    // Started even without folders: its MSG_SCAN_DONE is what enables IDC_START.
    // The handle is stored before this thread reads messages again, so the
    // worker's MSG_SCAN_DONE always finds it.
    ExpandThread = CreateThread(NULL, 0, FolderExpandThread, NULL, 0, NULL);
    if (ExpandThread) {
        HoldListPainting(); // released by MSG_SCAN_DONE
    } else {
        PendingFolders.count = 0;
        PendingFolders.Free();
        ShowMessage(window, IDS_THREAD_FAILED, MB_TASKMODAL | MB_ICONERROR);
    }
}
