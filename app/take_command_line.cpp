#include "app/take_command_line.h"

#include <shellapi.h>

#include <stdio.h>
#include <string.h>

#include <string>

#include "base/code_page.h"
#include "base/load_text.h"
#include "base/long_path.h"
#include "gather/folder_expand_thread.h"
#include "res/resource.h"
#include "tools/check_list.h"
#include "window/app_state.h"
#include "window/gui_listbox.h"
#include "window/show_message.h"

namespace {

// Room for the message that names the arguments not taken.
const int MessageSize = 2048;

bool UserWantsFolder(HWND window, const char* path) {
    const char* format = LoadText(IDS_ASK_FOLDER);
    char question[MessageSize];
    snprintf(question, sizeof question, format ? format : "%s", path);
    return MessageBoxA(window, question, AppCaption, MB_ICONQUESTION | MB_YESNO) == IDYES;
}

void ShowNotTaken(HWND window, const std::string& names) {
    const char* format = LoadText(IDS_BAD_ARGUMENTS);
    char message[MessageSize];
    snprintf(message, sizeof message, format ? format : "%s", names.c_str());
    MessageBoxA(window, message, AppCaption, MB_TASKMODAL | MB_ICONERROR);
}

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
            notTaken += "\n" + path.substr(0, CharacterCut(path.data(), path.size(), PathBufferSize - 1));
        } else if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            FileList->AddEntry(path.c_str());
        } else if (UserWantsFolder(window, path.c_str())) {
            PendingFolders.Push(path.c_str());
        }
    }
    if (!notTaken.empty()) {
        // However many there are, the message keeps its last line.
        const size_t shown = MessageSize / 2;
        ShowNotTaken(window,
                     notTaken.substr(1, CharacterCut(notTaken.data() + 1, notTaken.size() - 1, shown)));
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
            ShowNotTaken(window, list);
        }
    } else if (count > 1) {
        TakeArguments(window, arguments + 1, count - 1);
        StartFolderExpansion(window);
    }
    LocalFree(arguments);
    return count > 1 && !check;
}
