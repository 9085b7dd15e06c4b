#include "window/folder_picker.h"

#include "base/code_page.h"
#include "base/load_text.h"
#include "base/long_path.h"
#include "base/path_buffer.h"
#include "base/shell_folder_picker.h"

namespace {

bool PickWithShell(HWND owner, UINT titleId, std::string& folder) {
    const char* loaded = LoadText(titleId);
    const DWORD attributes = folder.empty() ? INVALID_FILE_ATTRIBUTES : PathAttributes(folder);
    const bool startsThere = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    std::wstring chosen;
    std::string narrow;
    if (ShowFolderPicker(owner, ToWide(loaded ? loaded : ""), startsThere ? ToWide(FullPath(folder)) : L"",
                         chosen) != S_OK ||
        !ToNarrow(chosen, narrow) || narrow.size() >= static_cast<size_t>(PathBufferSize)) {
        return false;
    }
    folder = narrow;
    return true;
}

FolderChoice Choose = PickWithShell;

} // namespace

bool PickFolder(HWND owner, UINT titleId, std::string& folder) { return Choose(owner, titleId, folder); }

void SetFolderChoice(FolderChoice choose) { Choose = choose ? choose : PickWithShell; }
