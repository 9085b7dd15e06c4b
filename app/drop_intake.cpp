#include "app/drop_intake.h"

#include <string>

#include "base/code_page.h"
#include "base/long_path.h"
#include "gather/folder_expand_thread.h"
#include "gather/folder_walk.h"
#include "gather/walk_failure_line.h"
#include "res/resource.h"
#include "run/progress_dialog.h"
#include "window/app_state.h"
#include "window/gui_listbox.h"
#include "window/show_message.h"

// Item index of the drop as narrow text; false when it has no exact form in
// the code page (path then shows its nearest form).
static bool FetchDroppedPath(HDROP drop, UINT index, std::string& path) {
    UINT length = DragQueryFileW(drop, index, NULL, 0);
    std::wstring wide(length + 1, L'\0');
    wide.resize(DragQueryFileW(drop, index, &wide[0], length + 1));
    return ToNarrow(wide, path);
}

void OnDropFiles(HWND window, HDROP drop) {
    // A running worker owns PendingFolders and ExpandThread, a run the list;
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
        std::string path;
        bool exact = FetchDroppedPath(drop, i, path);
        // What cannot be taken is listed as a failure line, never left out.
        if (!exact || path.size() >= static_cast<size_t>(PathBufferSize)) {
            FileList->AddEntry(WalkFailureLine(CutText(path, PathBufferSize - 1).c_str(),
                                               exact ? FoundPathTooLong : FoundNameNotInCodePage)
                                   .c_str());
            continue;
        }
        DWORD attributes = PathAttributes(path);
        if (attributes == INVALID_FILE_ATTRIBUTES) {
            continue; // gone since the drop
        }
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
            PendingFolders.Push(path.c_str());
        } else {
            FileList->AddEntry(path.c_str());
        }
    }
    DragFinish(drop);
    StartFolderExpansion(window);
}
