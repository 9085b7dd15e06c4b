// The DLL's exports: its class factories, whether it may unload, and its registration.
#include <windows.h>

#include <new>

#include "shell/class_factory.h"
#include "shell/digestor_menu.h"
#include "shell/digests_page.h"
#include "shell/module_lock.h"
#include "shell/registration.h"
#include "shell/shell_ids.h"

namespace {

struct ClassEntry {
    const CLSID* clsid;
    CreateFunction create;
};

const ClassEntry Classes[] = {
    {&ClsidDigestsPage, CreateDigestsPage},
    {&ClsidDigestorMenu, CreateDigestorMenu},
};

} // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID riid, void** object) {
    if (!object) {
        return E_POINTER;
    }
    *object = NULL;
    for (const ClassEntry& entry : Classes) {
        if (clsid == *entry.clsid) {
            ClassFactory* factory = new (std::nothrow) ClassFactory(entry.create);
            if (!factory) {
                return E_OUTOFMEMORY;
            }
            HRESULT result = factory->QueryInterface(riid, object);
            factory->Release();
            return result;
        }
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

STDAPI DllCanUnloadNow() { return ModuleInUse() ? S_FALSE : S_OK; }

// regsvr32 of a portable copy: for the current user alone. The installer writes the same table for
// every user.
STDAPI DllRegisterServer() {
    try {
        wchar_t path[MAX_PATH * 4];
        DWORD length = GetModuleFileNameW(ThisModule(), path, ARRAYSIZE(path));
        if (length == 0 || length >= ARRAYSIZE(path)) {
            return E_FAIL;
        }
        return RegisterExtension(HKEY_CURRENT_USER, path);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

STDAPI DllUnregisterServer() {
    try {
        return UnregisterExtension(HKEY_CURRENT_USER);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}
