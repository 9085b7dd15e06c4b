// The files under test lie beside the test program, as they ship: Digestor.exe
// and lang\1031.dll, lang\1033.dll. This maps them and hands out raw resources.
#pragma once

#include <windows.h>

#include <string>

// Path of a file relative to the folder that holds the running test program.
inline std::string FileBesideTest(const char* relative) {
    char path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameA(NULL, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return std::string();
    std::string folder(path, length);
    folder.erase(folder.find_last_of("\\/") + 1);
    return folder + relative;
}

// Bytes of one resource, valid while the module stays loaded.
struct ResourceBytes {
    const BYTE* data = nullptr;
    DWORD size = 0;
};

// A module mapped for the duration of a test and released by it.
class LoadedModule {
public:
    // Digestor.exe is only looked at: as a data file its imports are never resolved.
    static LoadedModule AsDataFile(const std::string& path) {
        return LoadedModule(LoadLibraryExA(path.c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE));
    }
    // The language modules are mapped the way the program maps them.
    static LoadedModule AsLibrary(const std::string& path) {
        return LoadedModule(LoadLibraryA(path.c_str()));
    }

    LoadedModule(LoadedModule&& other) noexcept : module_(other.module_) { other.module_ = NULL; }
    LoadedModule(const LoadedModule&) = delete;
    LoadedModule& operator=(const LoadedModule&) = delete;
    ~LoadedModule() {
        if (module_ != NULL)
            FreeLibrary(module_);
    }

    HMODULE Handle() const { return module_; }

    ResourceBytes Find(LPCSTR type, LPCSTR name) const {
        ResourceBytes bytes;
        HRSRC info = FindResourceA(module_, name, type);
        if (info == NULL)
            return bytes;
        HGLOBAL loaded = LoadResource(module_, info);
        if (loaded == NULL)
            return bytes;
        bytes.data = static_cast<const BYTE*>(LockResource(loaded));
        bytes.size = bytes.data != nullptr ? SizeofResource(module_, info) : 0;
        return bytes;
    }

private:
    explicit LoadedModule(HMODULE module) : module_(module) {}
    HMODULE module_;
};
