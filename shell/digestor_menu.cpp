#include "shell/digestor_menu.h"

#include <shlobj.h>
#include <shlwapi.h>

#include <new>
#include <string>
#include <vector>

#include "base/algorithm_names.h"
#include "base/scoped_handle.h"
#include "base/shell_folder_picker.h"
#include "res/resource.h"
#include "shell/com_object.h"
#include "shell/module_lock.h"
#include "shell/selection.h"
#include "shell/shell_language.h"

namespace {

// What the selection is, as far as the commands after "Digest with" care.
enum SelectionKind {
    OtherItems,
    OneFolder,       // one folder or drive: recorded, or compared with a copy the user picks
    OneChecksumList, // checked
    TwoFolders,      // folders or drives, compared: the first the original
};

// The commands after "Digest with", in their offsets' and the submenu's order.
enum CommandIndex { CommandRecord, CommandCheck, CommandCompareWith, CommandCompare };
struct MenuCommand {
    const wchar_t* verb; // what a caller may name it by instead of its offset
    UINT words;
    UINT help;
    SelectionKind shownFor;
};
const MenuCommand Commands[] = {
    {L"Digestor.Record", IDS_MENU_RECORD, IDS_MENU_RECORD_HELP, OneFolder},
    {L"Digestor.Check", IDS_MENU_CHECK, IDS_MENU_CHECK_HELP, OneChecksumList},
    {L"Digestor.CompareWith", IDS_MENU_COMPARE_WITH, IDS_MENU_COMPARE_WITH_HELP, OneFolder},
    {L"Digestor.Compare", IDS_MENU_COMPARE, IDS_MENU_COMPARE_HELP, TwoFolders},
};
const UINT MoreCommandCount = ARRAYSIZE(Commands);
static_assert(CommandCompare + 1 == MoreCommandCount, "one entry for each command, in its order");

// The commands, by their offset from QueryContextMenu's first id: "Digest with" one per algorithm,
// in BoxKinds' order, then Commands.
const UINT AlgorithmCount = static_cast<UINT>(BoxKindCount);
const UINT CommandCount = AlgorithmCount + MoreCommandCount;

// What a recorded folder's list is digested with.
const DigestKind RecordKind = DigestSHA256;

// The checksum lists Digestor checks, told apart by their extension alone.
const wchar_t* const ChecksumListExtensions[] = {L".md5",      L".sha1",     L".sha256", L".sha512",
                                                 L".sha3-256", L".sha3-512", L".sha3",   L".blake3",
                                                 L".b3",       L".xxh3",     L".xxh128", L".sfv"};

std::wstring Wide(const char* ascii) { return std::wstring(ascii, ascii + lstrlenA(ascii)); }

// A command-line argument as CommandLineToArgvW reads it back: quoted, with the backslashes before a
// quote doubled, so "C:\" of a drive stays C:\ and does not swallow its closing quote.
std::wstring Quoted(const std::wstring& text) {
    std::wstring result = L"\"";
    size_t backslashes = 0;
    for (wchar_t c : text) {
        if (c == L'\\') {
            ++backslashes;
        } else {
            if (c == L'"') {
                result.append(backslashes + 1, L'\\');
            }
            backslashes = 0;
        }
        result += c;
    }
    result.append(backslashes, L'\\');
    return result + L"\"";
}

bool IsChecksumList(const std::wstring& path) {
    const wchar_t* extension = PathFindExtensionW(path.c_str());
    for (const wchar_t* list : ChecksumListExtensions) {
        if (lstrcmpiW(extension, list) == 0) {
            return true;
        }
    }
    return false;
}

// The verb a caller may name a command by, instead of its offset.
std::wstring Verb(UINT offset) {
    return offset < AlgorithmCount ? L"Digestor.DigestWith." + Wide(KindName(BoxKinds[offset]))
                                   : Commands[offset - AlgorithmCount].verb;
}

bool IsFolder(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

SelectionKind KindOfSelection(const std::vector<std::wstring>& paths) {
    if (paths.size() == 1) {
        return IsFolder(paths[0]) ? OneFolder : IsChecksumList(paths[0]) ? OneChecksumList : OtherItems;
    }
    return paths.size() == 2 && IsFolder(paths[0]) && IsFolder(paths[1]) ? TwoFolders : OtherItems;
}

// A new file in the user's temporary folder that holds paths in UTF-8, one a line, each ended by
// CR LF; its name in itemsPath. Digestor.exe reads and deletes it.
HRESULT WriteItemsFile(const std::vector<std::wstring>& paths, std::wstring& itemsPath) {
    wchar_t folder[MAX_PATH + 1];
    DWORD length = GetTempPathW(ARRAYSIZE(folder), folder);
    GUID guid;
    wchar_t guidText[40];
    if (length == 0 || length >= ARRAYSIZE(folder) || FAILED(CoCreateGuid(&guid)) ||
        StringFromGUID2(guid, guidText, ARRAYSIZE(guidText)) == 0) {
        return E_FAIL;
    }
    // The GUID without its braces.
    itemsPath = std::wstring(folder) + L"dig" + std::wstring(guidText + 1, lstrlenW(guidText) - 2) + L".txt";

    std::string bytes;
    for (const std::wstring& path : paths) {
        int size =
            WideCharToMultiByte(CP_UTF8, 0, path.c_str(), static_cast<int>(path.size()), NULL, 0, NULL, NULL);
        size_t at = bytes.size();
        bytes.resize(at + size);
        WideCharToMultiByte(CP_UTF8, 0, path.c_str(), static_cast<int>(path.size()), &bytes[at], size, NULL,
                            NULL);
        bytes += "\r\n";
    }
    ScopedFile file(
        CreateFileW(itemsPath.c_str(), GENERIC_WRITE, 0, NULL, CREATE_NEW, FILE_ATTRIBUTE_TEMPORARY, NULL));
    if (!file.IsValid()) {
        return HRESULT_FROM_WIN32(GetLastError());
    }
    DWORD written = 0;
    bool complete = WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, NULL) &&
                    written == bytes.size();
    HRESULT result = complete ? S_OK : HRESULT_FROM_WIN32(GetLastError());
    if (!file.Close() || !complete) {
        DeleteFileW(itemsPath.c_str());
        return FAILED(result) ? result : E_FAIL;
    }
    return S_OK;
}

// Starts the Digestor.exe beside this DLL with arguments, in its own folder (so that no folder of
// the selection is held as a working directory), and lets it go.
HRESULT StartDigestor(const std::wstring& arguments, int show) {
    const std::wstring folder = ModuleFolder();
    const std::wstring program = folder + L"\\Digestor.exe";
    std::wstring commandLine = Quoted(program) + L" " + arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(show);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(program.c_str(), &commandLine[0], NULL, NULL, FALSE, 0, NULL, folder.c_str(),
                        &startup, &process)) {
        return HRESULT_FROM_WIN32(GetLastError());
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return S_OK;
}

HRESULT StartComparison(const std::wstring& original, const std::wstring& copy, int show) {
    return StartDigestor(L"/compare " + Quoted(original) + L" " + Quoted(copy), show);
}

// Asks for the copy of original in the folder picker, opening it in the folder that holds original
// (a copy often lies beside it), then compares the two.
HRESULT CompareWithPicked(const std::wstring& original, HWND owner, int show) {
    HMODULE language = LoadShellLanguage();
    const std::wstring title = ShellText(language, IDS_MENU_COMPARE_WITH_TITLE);
    if (language) {
        FreeLibrary(language);
    }
    std::wstring above = original;
    // A drive's root has nothing above it: the picker opens where it was last.
    above.resize(PathRemoveFileSpecW(&above[0]) ? lstrlenW(above.c_str()) : 0);
    std::wstring copy;
    const HRESULT result = ShowFolderPicker(owner, title, above, copy);
    return SUCCEEDED(result) ? StartComparison(original, copy, show) : result;
}

class DigestorMenu : public ComObject<IShellExtInit, IContextMenu> {
public:
    DigestorMenu() : m_selection(OtherItems) {}

    IFACEMETHODIMP QueryInterface(REFIID riid, void** object) override {
        static const QITAB interfaces[] = {
            QITABENT(DigestorMenu, IShellExtInit),
            QITABENT(DigestorMenu, IContextMenu),
            {NULL, 0},
        };
        return QISearch(this, interfaces, riid, object);
    }

    // IShellExtInit
    IFACEMETHODIMP Initialize(PCIDLIST_ABSOLUTE, IDataObject* data, HKEY) override;
    // IContextMenu
    IFACEMETHODIMP QueryContextMenu(HMENU menu, UINT index, UINT firstId, UINT lastId, UINT flags) override;
    IFACEMETHODIMP InvokeCommand(CMINVOKECOMMANDINFO* info) override;
    IFACEMETHODIMP GetCommandString(UINT_PTR offset, UINT type, UINT*, LPSTR name, UINT size) override;

private:
    ~DigestorMenu() override {}

    bool IsShown(UINT offset) const {
        return offset < AlgorithmCount ||
               (offset < CommandCount && Commands[offset - AlgorithmCount].shownFor == m_selection);
    }
    bool FindCommand(const CMINVOKECOMMANDINFO* info, UINT& offset) const;
    HRESULT Invoke(UINT offset, HWND owner, int show) const;

    std::vector<std::wstring> m_paths; // in the data object's order: Explorer's focused item first
    SelectionKind m_selection;
};

IFACEMETHODIMP DigestorMenu::Initialize(PCIDLIST_ABSOLUTE, IDataObject* data, HKEY) {
    try {
        m_selection = OtherItems;
        HRESULT result = ReadSelection(data, m_paths);
        if (SUCCEEDED(result) && m_paths.empty()) {
            result = E_INVALIDARG;
        }
        if (FAILED(result)) {
            return result;
        }
        m_selection = KindOfSelection(m_paths);
        return S_OK;
    } catch (...) {
        m_paths.clear();
        return E_OUTOFMEMORY;
    }
}

IFACEMETHODIMP DigestorMenu::QueryContextMenu(HMENU menu, UINT index, UINT firstId, UINT lastId, UINT flags) {
    try {
        const HRESULT nothing = MAKE_HRESULT(SEVERITY_SUCCESS, FACILITY_NULL, 0);
        if ((flags & CMF_DEFAULTONLY) || m_paths.empty() || lastId < firstId ||
            lastId - firstId < CommandCount - 1) {
            return nothing;
        }
        HMODULE language = LoadShellLanguage();
        const std::wstring digestor = ShellText(language, IDS_MENU_DIGESTOR);
        const std::wstring digestWith = ShellText(language, IDS_MENU_DIGEST_WITH);
        std::wstring words[MoreCommandCount];
        for (UINT i = 0; i < MoreCommandCount; ++i) {
            words[i] = ShellText(language, Commands[i].words);
        }
        if (language) {
            FreeLibrary(language);
        }
        // A copy without its language modules has no words, and no Digestor.exe that could start.
        if (digestor.empty()) {
            return nothing;
        }

        HMENU algorithms = CreatePopupMenu();
        HMENU submenu = CreatePopupMenu();
        bool built = algorithms && submenu;
        for (UINT i = 0; built && i < AlgorithmCount; ++i) {
            built =
                AppendMenuW(algorithms, MF_STRING, firstId + i, Wide(KindName(BoxKinds[i])).c_str()) != FALSE;
        }
        // From here on the submenu owns the algorithms' menu.
        if (built) {
            built = AppendMenuW(submenu, MF_POPUP, reinterpret_cast<UINT_PTR>(algorithms),
                                digestWith.c_str()) != FALSE;
            algorithms = built ? NULL : algorithms;
        }
        UINT used = AlgorithmCount;
        for (UINT offset = AlgorithmCount; built && offset < CommandCount; ++offset) {
            if (IsShown(offset)) {
                built = AppendMenuW(submenu, MF_STRING, firstId + offset,
                                    words[offset - AlgorithmCount].c_str()) != FALSE;
                used = offset + 1;
            }
        }
        if (built && InsertMenuW(menu, index, MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(submenu),
                                 digestor.c_str())) {
            return MAKE_HRESULT(SEVERITY_SUCCESS, FACILITY_NULL, used);
        }
        if (algorithms) {
            DestroyMenu(algorithms);
        }
        if (submenu) {
            DestroyMenu(submenu);
        }
        return E_FAIL;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

bool DigestorMenu::FindCommand(const CMINVOKECOMMANDINFO* info, UINT& offset) const {
    std::wstring verb;
    const CMINVOKECOMMANDINFOEX* wide =
        info->cbSize >= sizeof(CMINVOKECOMMANDINFOEX) && (info->fMask & CMIC_MASK_UNICODE)
            ? reinterpret_cast<const CMINVOKECOMMANDINFOEX*>(info)
            : NULL;
    if (wide && !IS_INTRESOURCE(wide->lpVerbW)) {
        verb = wide->lpVerbW;
    } else if (!IS_INTRESOURCE(info->lpVerb)) {
        verb = Wide(info->lpVerb);
    } else {
        offset = LOWORD(info->lpVerb);
        return IsShown(offset);
    }
    for (offset = 0; offset < CommandCount; ++offset) {
        if (lstrcmpiW(verb.c_str(), Verb(offset).c_str()) == 0) {
            return IsShown(offset);
        }
    }
    return false;
}

HRESULT DigestorMenu::Invoke(UINT offset, HWND owner, int show) const {
    switch (offset < AlgorithmCount ? -1 : static_cast<int>(offset - AlgorithmCount)) {
    case CommandRecord:
        return StartDigestor(L"/alg " + Wide(KindName(RecordKind)) + L" /record " + Quoted(m_paths[0]), show);
    case CommandCheck:
        return StartDigestor(L"/check " + Quoted(m_paths[0]), show);
    case CommandCompareWith:
        return CompareWithPicked(m_paths[0], owner, show);
    case CommandCompare:
        return StartComparison(m_paths[0], m_paths[1], show);
    default:
        break;
    }
    // However many items there are, they go in a file: ten thousand paths do not fit a command line.
    std::wstring items;
    HRESULT result = WriteItemsFile(m_paths, items);
    if (SUCCEEDED(result)) {
        result =
            StartDigestor(L"/alg " + Wide(KindName(BoxKinds[offset])) + L" /items " + Quoted(items), show);
        if (FAILED(result)) {
            DeleteFileW(items.c_str());
        }
    }
    return result;
}

IFACEMETHODIMP DigestorMenu::InvokeCommand(CMINVOKECOMMANDINFO* info) {
    try {
        UINT offset = 0;
        if (!info || m_paths.empty() || !FindCommand(info, offset)) {
            return E_INVALIDARG;
        }
        return Invoke(offset, info->hwnd, info->nShow);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

IFACEMETHODIMP DigestorMenu::GetCommandString(UINT_PTR offset, UINT type, UINT*, LPSTR name, UINT size) {
    try {
        if (offset >= CommandCount) {
            return E_INVALIDARG;
        }
        std::wstring text;
        switch (type) {
        case GCS_VALIDATEA:
        case GCS_VALIDATEW:
            return IsShown(static_cast<UINT>(offset)) ? S_OK : S_FALSE;
        case GCS_VERBA:
        case GCS_VERBW:
            text = Verb(static_cast<UINT>(offset));
            break;
        case GCS_HELPTEXTA:
        case GCS_HELPTEXTW: {
            HMODULE language = LoadShellLanguage();
            text = ShellText(language, offset < AlgorithmCount ? IDS_MENU_DIGEST_HELP
                                                               : Commands[offset - AlgorithmCount].help);
            if (language) {
                FreeLibrary(language);
            }
            break;
        }
        default:
            return E_INVALIDARG;
        }
        if (!name || size == 0) {
            return E_INVALIDARG;
        }
        if (type & GCS_UNICODE) {
            lstrcpynW(reinterpret_cast<LPWSTR>(name), text.c_str(), size);
        } else {
            // Explorer's narrow code page, which is not the programs' UTF-8.
            std::string narrow(text.size() * 2 + 1, '\0');
            WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, &narrow[0], static_cast<int>(narrow.size()),
                                NULL, NULL);
            lstrcpynA(name, narrow.c_str(), size);
        }
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

} // namespace

HRESULT CreateDigestorMenu(REFIID riid, void** object) {
    *object = NULL;
    DigestorMenu* menu = new (std::nothrow) DigestorMenu();
    if (!menu) {
        return E_OUTOFMEMORY;
    }
    HRESULT result = menu->QueryInterface(riid, object);
    menu->Release();
    return result;
}
