// A language module read as the program reads it: its strings, by ID.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct LanguageModuleFile {
    HMODULE handle;
    explicit LanguageModuleFile(uint16_t id) {
        const std::wstring path = L"lang\\" + std::to_wstring(id) + L".dll";
        handle =
            LoadLibraryExW(path.c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    }
    ~LanguageModuleFile() {
        if (handle) {
            FreeLibrary(handle);
        }
    }
};

inline std::wstring Text(HMODULE module, UINT id) {
    const wchar_t* text = NULL;
    const int length = LoadStringW(module, id, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 && text ? std::wstring(text, length) : std::wstring();
}

// The string IDs a module holds, from its string table's blocks of sixteen.
inline std::vector<UINT> StringIds(HMODULE module) {
    std::vector<UINT> blocks;
    EnumResourceNamesW(
        module, MAKEINTRESOURCEW(6), // RT_STRING
        [](HMODULE, LPCWSTR, LPWSTR name, LONG_PTR found) -> BOOL {
            reinterpret_cast<std::vector<UINT>*>(found)->push_back(
                static_cast<UINT>(reinterpret_cast<UINT_PTR>(name)));
            return TRUE;
        },
        reinterpret_cast<LONG_PTR>(&blocks));
    std::vector<UINT> ids;
    for (UINT block : blocks) {
        for (UINT id = (block - 1) * 16; id < block * 16; ++id) {
            if (!Text(module, id).empty()) {
                ids.push_back(id);
            }
        }
    }
    return ids;
}
