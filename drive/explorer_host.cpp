#include "drive/explorer_host.h"

#include <shellapi.h>
#include <shlobj.h>

#include <string.h>

#include "shell/shell_ids.h"

namespace {

typedef HRESULT(STDAPICALLTYPE* GetClassObjectFunction)(REFCLSID, REFIID, void**);
typedef HRESULT(STDAPICALLTYPE* CanUnloadFunction)();

// Only GetData of CF_HDROP, which is all an extension's Initialize reads.
class DropData : public IDataObject {
public:
    explicit DropData(const std::vector<std::wstring>& paths) : m_refCount(1), m_paths(paths) {}

    IFACEMETHODIMP QueryInterface(REFIID riid, void** object) override {
        if (riid == IID_IUnknown || riid == IID_IDataObject) {
            *object = static_cast<IDataObject*>(this);
            AddRef();
            return S_OK;
        }
        *object = NULL;
        return E_NOINTERFACE;
    }
    IFACEMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&m_refCount); }
    IFACEMETHODIMP_(ULONG) Release() override {
        LONG count = InterlockedDecrement(&m_refCount);
        if (count == 0) {
            delete this;
        }
        return count;
    }
    IFACEMETHODIMP GetData(FORMATETC* format, STGMEDIUM* medium) override {
        if (format->cfFormat != CF_HDROP || !(format->tymed & TYMED_HGLOBAL)) {
            return DV_E_FORMATETC;
        }
        size_t chars = 1;
        for (const std::wstring& path : m_paths) {
            chars += path.size() + 1;
        }
        HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + chars * sizeof(wchar_t));
        if (!memory) {
            return E_OUTOFMEMORY;
        }
        DROPFILES* drop = static_cast<DROPFILES*>(GlobalLock(memory));
        drop->pFiles = sizeof(DROPFILES);
        drop->fWide = TRUE;
        wchar_t* out = reinterpret_cast<wchar_t*>(drop + 1);
        for (const std::wstring& path : m_paths) {
            memcpy(out, path.c_str(), (path.size() + 1) * sizeof(wchar_t));
            out += path.size() + 1;
        }
        *out = L'\0';
        GlobalUnlock(memory);
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = memory;
        medium->pUnkForRelease = NULL;
        return S_OK;
    }
    IFACEMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    IFACEMETHODIMP QueryGetData(FORMATETC* format) override {
        return format->cfFormat == CF_HDROP ? S_OK : DV_E_FORMATETC;
    }
    IFACEMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
        out->ptd = NULL;
        return E_NOTIMPL;
    }
    IFACEMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    IFACEMETHODIMP EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    IFACEMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    IFACEMETHODIMP DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    IFACEMETHODIMP EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

private:
    virtual ~DropData() {}
    LONG m_refCount;
    std::vector<std::wstring> m_paths;
};

BOOL CALLBACK CollectPage(HPROPSHEETPAGE page, LPARAM pages) {
    reinterpret_cast<std::vector<HPROPSHEETPAGE>*>(pages)->push_back(page);
    return TRUE;
}

} // namespace

std::wstring ProgramFolder() {
    wchar_t path[MAX_PATH * 2];
    DWORD length = GetModuleFileNameW(NULL, path, ARRAYSIZE(path));
    std::wstring folder(path, length);
    return folder.substr(0, folder.find_last_of(L'\\'));
}

HMODULE ExtensionModule() {
    static HMODULE module = LoadLibraryW((ProgramFolder() + L"\\DigestorShell64.dll").c_str());
    return module;
}

HRESULT CreateExtensionObject(REFCLSID clsid, REFIID riid, void** object) {
    return CreateObjectOf(ExtensionModule(), clsid, riid, object);
}

HRESULT CreateObjectOf(HMODULE module, REFCLSID clsid, REFIID riid, void** object) {
    *object = NULL;
    GetClassObjectFunction get = reinterpret_cast<GetClassObjectFunction>(
        reinterpret_cast<void*>(GetProcAddress(module, "DllGetClassObject")));
    if (!get) {
        return E_FAIL;
    }
    IClassFactory* factory = NULL;
    HRESULT result = get(clsid, IID_IClassFactory, reinterpret_cast<void**>(&factory));
    if (FAILED(result)) {
        return result;
    }
    result = factory->CreateInstance(NULL, riid, object);
    factory->Release();
    return result;
}

bool ExtensionCanUnload() {
    CanUnloadFunction canUnload = reinterpret_cast<CanUnloadFunction>(
        reinterpret_cast<void*>(GetProcAddress(ExtensionModule(), "DllCanUnloadNow")));
    return canUnload && canUnload() == S_OK;
}

IDataObject* MakeDropData(const std::vector<std::wstring>& paths) { return new DropData(paths); }

void RemoveTree(const std::wstring& folder) {
    // The long form: a tree may hold paths past 260 characters. A link is removed, never
    // followed, so nothing outside the tree is touched.
    const std::wstring root = folder.compare(0, 4, L"\\\\?\\") == 0 ? folder : L"\\\\?\\" + folder;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((root + L"\\*").c_str(), &found);
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found)) {
        const std::wstring name = found.cFileName;
        const std::wstring path = root + L"\\" + name;
        if (name == L"." || name == L"..") {
            continue;
        }
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
            !(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
            RemoveTree(path);
        } else if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            RemoveDirectoryW(path.c_str());
        } else {
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(path.c_str());
        }
    }
    if (search != INVALID_HANDLE_VALUE) {
        FindClose(search);
    }
    RemoveDirectoryW(root.c_str());
}

std::wstring FreshFolder(const std::wstring& name) {
    std::wstring folder = ProgramFolder() + L"\\" + name;
    RemoveTree(folder);
    CreateDirectoryW(folder.c_str(), NULL);
    return folder;
}

bool WriteBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE file =
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, NULL);
    CloseHandle(file);
    return ok && written == bytes.size();
}

HWND OpenDigestsSheet(const std::vector<std::wstring>& paths, const wchar_t* caption,
                      std::vector<HPROPSHEETPAGE> front) {
    const size_t inFront = front.size();
    std::vector<HPROPSHEETPAGE> pages = front;
    IShellExtInit* init = NULL;
    if (SUCCEEDED(
            CreateExtensionObject(ClsidDigestsPage, IID_IShellExtInit, reinterpret_cast<void**>(&init)))) {
        IDataObject* data = MakeDropData(paths);
        const HRESULT initialized = init->Initialize(NULL, data, NULL);
        data->Release();
        IShellPropSheetExt* extension = NULL;
        if (SUCCEEDED(initialized) &&
            SUCCEEDED(init->QueryInterface(IID_IShellPropSheetExt, reinterpret_cast<void**>(&extension)))) {
            extension->AddPages(CollectPage, reinterpret_cast<LPARAM>(&pages));
            extension->Release();
        }
        init->Release();
    }
    if (pages.size() == inFront) {
        for (HPROPSHEETPAGE page : pages) {
            DestroyPropertySheetPage(page);
        }
        return NULL;
    }
    PROPSHEETHEADERW header = {};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_MODELESS;
    header.pszCaption = caption;
    header.nPages = static_cast<UINT>(pages.size());
    header.phpage = pages.data();
    HWND sheet = reinterpret_cast<HWND>(PropertySheetW(&header));
    if (sheet && inFront > 0) {
        SendMessageW(sheet, PSM_SETCURSEL, inFront, 0);
    }
    return sheet;
}

HWND PageControl(HWND sheet, int id) {
    return GetDlgItem(reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0)), id);
}

std::wstring ListCell(HWND list, int row, int column) {
    wchar_t text[512] = L"";
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = ARRAYSIZE(text);
    SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    return text;
}

bool PumpUntil(const std::function<bool()>& done, DWORD limitMs) {
    const ULONGLONG start = GetTickCount64();
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (done()) {
            return true;
        }
        if (GetTickCount64() - start > limitMs) {
            return false;
        }
        MsgWaitForMultipleObjects(0, NULL, FALSE, 10, QS_ALLINPUT);
    }
}
