// What keeps the DLL loaded: the objects it has handed out and the locks of IClassFactory::LockServer,
// counted together. DllCanUnloadNow answers from this count alone.
#pragma once

#include <windows.h>

#include <string>

void ModuleAddRef();
void ModuleRelease();
bool ModuleInUse();

// This DLL's own module handle, found from an address inside it (no global is kept for it).
HMODULE ThisModule();
// The folder this DLL lies in, no trailing separator: Digestor.exe and lang\ lie beside it.
std::wstring ModuleFolder();

// Holds one count on the module for as long as it lives: a member of every COM object, and of a
// worker's context, so the DLL stays until the last thread that runs its code has let go.
class ModuleReference {
public:
    ModuleReference() { ModuleAddRef(); }
    ~ModuleReference() { ModuleRelease(); }
    ModuleReference(const ModuleReference&) { ModuleAddRef(); }
    ModuleReference& operator=(const ModuleReference&) = default;
};
