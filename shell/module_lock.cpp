#include "shell/module_lock.h"

namespace {

// The one piece of state the DLL keeps beyond its objects.
volatile LONG LockCount = 0;

} // namespace

void ModuleAddRef() { InterlockedIncrement(&LockCount); }

void ModuleRelease() { InterlockedDecrement(&LockCount); }

bool ModuleInUse() { return InterlockedCompareExchange(&LockCount, 0, 0) != 0; }

HMODULE ThisModule() {
    HMODULE module = NULL;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&ThisModule), &module);
    return module;
}

std::wstring ModuleFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = GetModuleFileNameW(ThisModule(), &path[0], static_cast<DWORD>(path.size()));
        if (length == 0) {
            return std::wstring();
        }
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}
