#include "base/shell_folder_picker.h"

#include <shlobj.h>
#include <shobjidl.h>

#include <vector>

namespace {

// The longest path the shell hands out, with its terminating null.
const DWORD LongestPath = 32768;

const HRESULT Cancelled = HRESULT_FROM_WIN32(ERROR_CANCELLED);

// COM for the pickers on the calling thread: Explorer's threads run it already, which leaves the
// count as it was; a thread of another apartment keeps its own.
class ComApartment {
public:
    ComApartment() : m_result(CoInitializeEx(NULL, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
    ~ComApartment() {
        if (SUCCEEDED(m_result)) {
            CoUninitialize();
        }
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    HRESULT m_result;
};

// The shell's file dialog, made to pick folders.
HRESULT PickWithFileDialog(IFileOpenDialog* dialog, HWND owner, const std::wstring& title,
                           const std::wstring& startFolder, std::wstring& chosen) {
    DWORD options = 0;
    HRESULT result = dialog->GetOptions(&options);
    if (SUCCEEDED(result)) {
        result = dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST);
    }
    if (SUCCEEDED(result)) {
        result = dialog->SetTitle(title.c_str());
    }
    IShellItem* start = NULL;
    if (SUCCEEDED(result) && !startFolder.empty() &&
        SUCCEEDED(SHCreateItemFromParsingName(startFolder.c_str(), NULL, IID_IShellItem,
                                              reinterpret_cast<void**>(&start)))) {
        dialog->SetFolder(start);
        start->Release();
    }
    if (SUCCEEDED(result)) {
        result = dialog->Show(owner);
    }
    IShellItem* item = NULL;
    if (SUCCEEDED(result)) {
        result = dialog->GetResult(&item);
    }
    if (SUCCEEDED(result)) {
        wchar_t* path = NULL;
        result = item->GetDisplayName(SIGDN_FILESYSPATH, &path);
        if (SUCCEEDED(result)) {
            chosen = path;
            CoTaskMemFree(path);
        }
        item->Release();
    }
    return result;
}

HRESULT PickWithFolderBrowser(HWND owner, const std::wstring& title, std::wstring& chosen) {
    BROWSEINFOW browse = {};
    browse.hwndOwner = owner;
    browse.lpszTitle = title.c_str();
    browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    PIDLIST_ABSOLUTE folder = SHBrowseForFolderW(&browse);
    if (!folder) {
        return Cancelled;
    }
    std::vector<wchar_t> path(LongestPath, L'\0');
    const bool named = SHGetPathFromIDListEx(folder, path.data(), LongestPath, GPFIDL_DEFAULT) != FALSE;
    CoTaskMemFree(folder);
    if (!named) {
        return E_FAIL;
    }
    chosen = path.data();
    return S_OK;
}

} // namespace

HRESULT ShowFolderPicker(HWND owner, const std::wstring& title, const std::wstring& startFolder,
                         std::wstring& chosen) {
    ComApartment apartment;
    IFileOpenDialog* dialog = NULL;
    if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, NULL, CLSCTX_INPROC_SERVER, IID_IFileOpenDialog,
                                reinterpret_cast<void**>(&dialog)))) {
        return PickWithFolderBrowser(owner, title, chosen);
    }
    const HRESULT result = PickWithFileDialog(dialog, owner, title, startFolder, chosen);
    dialog->Release();
    return result;
}
