#include "app/take_command_line.h"

#include <shellapi.h>

#include <stdio.h>
#include <string.h>

#include "base/app_state.h"
#include "base/gui_listbox.h"
#include "base/load_text.h"
#include "base/show_message.h"
#include "gather/folder_scan.h"
#include "res/resource.h"

const int ArgumentBufferSize = 2048;

// The argument in the ANSI code page; false when it has no exact form there
// or does not fit a path buffer, since a cut or altered path names another file.
static bool ConvertArgument(const wchar_t* argument, char* path) {
    BOOL lossy = FALSE;
    int size = WideCharToMultiByte(CP_ACP, 0, argument, -1, path, ArgumentBufferSize, NULL, &lossy);
    return size > 0 && !lossy && strlen(path) < static_cast<size_t>(PathBufferSize);
}

static bool UserWantsFolder(HWND window, const char* path) {
    const char* format = LoadText(IDS_ASK_FOLDER);
    char question[PathBufferSize];
    snprintf(question, sizeof question, format ? format : "%s", path);
    return MessageBoxA(window, question, AppCaption, MB_ICONQUESTION | MB_YESNO) == IDYES;
}

void TakeArguments(HWND window, const wchar_t* const* arguments, int count) {
    char path[ArgumentBufferSize];
    for (int i = 0; i < count; ++i) {
        if (!ConvertArgument(arguments[i], path)) {
            continue;
        }
        DWORD attributes = GetFileAttributesA(path);
        if (attributes == INVALID_FILE_ATTRIBUTES) {
            continue;
        }
        if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            FileList->AddEntry(path);
        } else if (UserWantsFolder(window, path)) {
            ScanFolder(path);
        }
    }
}

bool TakeCommandLine(HWND window) {
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!arguments) {
        ShowMessage(NULL, IDS_BAD_COMMAND_LINE, MB_ICONERROR);
        return false;
    }
    if (count > 1) {
        TakeArguments(window, arguments + 1, count - 1);
    }
    LocalFree(arguments);
    return count > 1;
}
