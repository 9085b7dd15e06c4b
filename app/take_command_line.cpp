#include "app/take_command_line.h"

#include <shellapi.h>

#include <string>

#include "base/code_page.h"
#include "base/long_path.h"
#include "gather/folder_expand_thread.h"
#include "res/resource.h"
#include "tools/check_list.h"
#include "window/app_state.h"
#include "window/gui_listbox.h"
#include "window/show_message.h"

namespace {

// How much of the names of the arguments not taken their message shows.
const size_t NotTakenShown = 1024;

} // namespace

void TakeArguments(HWND window, const wchar_t* const* arguments, int count) {
    PendingFolders = FolderQueue::Create(count);
    std::string notTaken;
    for (int i = 0; i < count; ++i) {
        // A cut or altered path would name another file.
        std::string path;
        bool exact = ToNarrow(arguments[i], path);
        DWORD attributes = exact && path.size() < static_cast<size_t>(PathBufferSize)
                               ? PathAttributes(path)
                               : INVALID_FILE_ATTRIBUTES;
        if (attributes == INVALID_FILE_ATTRIBUTES) {
            notTaken += "\n" + CutText(path, PathBufferSize - 1);
        } else if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            FileList->AddEntry(path.c_str());
        } else if (ShowMessage(window, IDS_ASK_FOLDER, path.c_str(), MB_ICONQUESTION | MB_YESNO) == IDYES) {
            PendingFolders.Push(path.c_str());
        }
    }
    if (!notTaken.empty()) {
        ShowMessage(window, IDS_BAD_ARGUMENTS, CutText(notTaken.substr(1), NotTakenShown).c_str(),
                    MB_TASKMODAL | MB_ICONERROR);
    }
}

bool TakeCommandLine(HWND window) {
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!arguments) {
        ShowMessage(NULL, IDS_BAD_COMMAND_LINE, MB_ICONERROR);
        return false;
    }
    // "/check LIST" as the first argument checks the files of that list.
    const bool check = count > 2 && lstrcmpiW(arguments[1], L"/check") == 0;
    if (check) {
        std::string list;
        if (ToNarrow(arguments[2], list)) {
            CheckList(window, list.c_str());
        } else {
            ShowMessage(window, IDS_BAD_ARGUMENTS, list.c_str(), MB_TASKMODAL | MB_ICONERROR);
        }
    } else if (count > 1) {
        TakeArguments(window, arguments + 1, count - 1);
        StartFolderExpansion(window);
    }
    LocalFree(arguments);
    return count > 1 && !check;
}
