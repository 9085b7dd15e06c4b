#include "shell/registration.h"

#include "shell/registration_keys.h"
#include "shell/shell_ids.h"

namespace {

const wchar_t ClassesKey[] = L"Software\\Classes\\";

// The parents an unregistration may take away when they are left empty lie deeper than this many
// names below the hive: Software\Classes stays, and so does Software\Microsoft\Windows\CurrentVersion.
size_t KeptDepth(RegistryRoot root) { return root == InClasses ? 2 : 4; }

void Replace(std::wstring& text, const wchar_t* word, const std::wstring& by) {
    const std::wstring what(word);
    for (size_t at = text.find(what); at != std::wstring::npos; at = text.find(what, at + by.size())) {
        text.replace(at, what.size(), by);
    }
}

// A text of the table with its words filled in.
std::wstring Expand(const wchar_t* text, const std::wstring& dllPath) {
    std::wstring result(text);
    Replace(result, L"{page}", DIGESTS_PAGE_CLSID_TEXT);
    Replace(result, L"{menu}", DIGESTOR_MENU_CLSID_TEXT);
    Replace(result, L"[DLL]", dllPath);
    Replace(result, L"[EXE]", dllPath.substr(0, dllPath.find_last_of(L'\\') + 1) + L"Digestor.exe");
    return result;
}

// The entry's key below the hive.
std::wstring FullKey(const RegistryEntry& entry) {
    return (entry.root == InClasses ? std::wstring(ClassesKey) : std::wstring()) + Expand(entry.key, L"");
}

bool IsEmptyKey(HKEY hive, const std::wstring& key) {
    HKEY handle = NULL;
    if (RegOpenKeyExW(hive, key.c_str(), 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, &handle) != ERROR_SUCCESS) {
        return false;
    }
    DWORD keys = 0, values = 0;
    LONG status =
        RegQueryInfoKeyW(handle, NULL, NULL, NULL, &keys, NULL, NULL, &values, NULL, NULL, NULL, NULL);
    RegCloseKey(handle);
    return status == ERROR_SUCCESS && keys == 0 && values == 0;
}

// key when it is empty, then each parent left empty down to the kept depth.
void RemoveEmptyKeys(HKEY hive, std::wstring key, size_t keptDepth) {
    for (;;) {
        if (!IsEmptyKey(hive, key) ||
            RegDeleteKeyExW(hive, key.c_str(), KEY_WOW64_64KEY, 0) != ERROR_SUCCESS) {
            return;
        }
        size_t slash = key.find_last_of(L'\\');
        if (slash == std::wstring::npos) {
            return;
        }
        key.resize(slash);
        size_t depth = 1;
        for (wchar_t c : key) {
            depth += c == L'\\';
        }
        if (depth <= keptDepth) {
            return;
        }
    }
}

} // namespace

HRESULT RegisterExtension(HKEY hive, const std::wstring& dllPath) {
    try {
        for (const RegistryEntry& entry : RegistryTable) {
            const std::wstring name = Expand(entry.name, dllPath);
            const std::wstring value = Expand(entry.value, dllPath);
            HKEY key = NULL;
            LONG status = RegCreateKeyExW(hive, FullKey(entry).c_str(), 0, NULL, REG_OPTION_NON_VOLATILE,
                                          KEY_SET_VALUE | KEY_WOW64_64KEY, NULL, &key, NULL);
            if (status == ERROR_SUCCESS) {
                status = RegSetValueExW(key, name.empty() ? NULL : name.c_str(), 0, REG_SZ,
                                        reinterpret_cast<const BYTE*>(value.c_str()),
                                        static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
                RegCloseKey(key);
            }
            if (status != ERROR_SUCCESS) {
                return HRESULT_FROM_WIN32(status);
            }
        }
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT UnregisterExtension(HKEY hive) {
    try {
        // Backwards, so a key's children are gone before the key is asked whether it is empty.
        HRESULT result = S_OK;
        for (size_t i = ARRAYSIZE(RegistryTable); i-- > 0;) {
            const RegistryEntry& entry = RegistryTable[i];
            const std::wstring key = FullKey(entry);
            const std::wstring name = Expand(entry.name, L"");
            HKEY handle = NULL;
            LONG status = RegOpenKeyExW(hive, key.c_str(), 0, KEY_SET_VALUE | KEY_WOW64_64KEY, &handle);
            if (status == ERROR_SUCCESS) {
                status = RegDeleteValueW(handle, name.empty() ? NULL : name.c_str());
                RegCloseKey(handle);
            }
            if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) {
                result = HRESULT_FROM_WIN32(status);
            }
            RemoveEmptyKeys(hive, key, KeptDepth(entry.root));
        }
        return result;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}
