#include "window/folder_picker.h"

#include <shlobj.h>
#include <shobjidl.h>

#include "base/code_page.h"
#include "base/load_text.h"
#include "base/long_path.h"
#include "base/path_buffer.h"

namespace {

enum Pick { Picked, PickCancelled, PickerMissing };

// The item dialog of Windows Vista and later, which Wine has too.
Pick PickWithItemDialog(HWND owner, const std::wstring& title, const std::string& start,
                        std::wstring& chosen) {
    IFileOpenDialog* dialog = NULL;
    if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, NULL, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&dialog)))) {
        return PickerMissing;
    }
    FILEOPENDIALOGOPTIONS options = 0;
    dialog->GetOptions(&options);
    dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST);
    dialog->SetTitle(title.c_str());
    IShellItem* folder = NULL;
    const DWORD attributes = start.empty() ? INVALID_FILE_ATTRIBUTES : PathAttributes(start);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
        SUCCEEDED(
            SHCreateItemFromParsingName(ToWide(FullPath(start)).c_str(), NULL, IID_PPV_ARGS(&folder)))) {
        dialog->SetFolder(folder);
        folder->Release();
    }
    Pick pick = PickCancelled;
    IShellItem* item = NULL;
    if (SUCCEEDED(dialog->Show(owner)) && SUCCEEDED(dialog->GetResult(&item))) {
        wchar_t* path = NULL;
        if (SUCCEEDED(item->GetDisplayName(SIGDN_FILESYSPATH, &path))) {
            chosen = path;
            pick = Picked;
            CoTaskMemFree(path);
        }
        item->Release();
    }
    dialog->Release();
    return pick;
}

// The older folder browser.
Pick PickWithBrowser(HWND owner, const std::wstring& title, std::wstring& chosen) {
    BROWSEINFOW browse = {};
    browse.hwndOwner = owner;
    browse.lpszTitle = title.c_str();
    browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    PIDLIST_ABSOLUTE picked = SHBrowseForFolderW(&browse);
    if (!picked) {
        return PickCancelled;
    }
    wchar_t path[PathBufferSize] = L"";
    const bool named = SHGetPathFromIDListEx(picked, path, PathBufferSize, GPFIDL_DEFAULT) != FALSE;
    CoTaskMemFree(picked);
    chosen = path;
    return named ? Picked : PickCancelled;
}

bool PickWithShell(HWND owner, UINT titleId, std::string& folder) {
    const char* loaded = LoadText(titleId);
    const std::wstring title = ToWide(loaded ? loaded : "");
    std::wstring chosen;
    Pick pick = PickWithItemDialog(owner, title, folder, chosen);
    if (pick == PickerMissing) {
        pick = PickWithBrowser(owner, title, chosen);
    }
    std::string narrow;
    if (pick != Picked || !ToNarrow(chosen, narrow) || narrow.size() >= static_cast<size_t>(PathBufferSize)) {
        return false;
    }
    folder = narrow;
    return true;
}

FolderChoice Choose = PickWithShell;

} // namespace

bool PickFolder(HWND owner, UINT titleId, std::string& folder) { return Choose(owner, titleId, folder); }

void SetFolderChoice(FolderChoice choose) { Choose = choose ? choose : PickWithShell; }
