#include "import_hook.h"

void* ReplaceImport(HMODULE module, const char* dllName, WORD ordinal, void* replacement) {
    BYTE* base = reinterpret_cast<BYTE*>(module);
    const IMAGE_DOS_HEADER* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const IMAGE_NT_HEADERS* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0) {
        return NULL;
    }
    void* previous = NULL;
    const IMAGE_IMPORT_DESCRIPTOR* import =
        reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
    for (; import->Name != 0; ++import) {
        if (lstrcmpiA(reinterpret_cast<const char*>(base + import->Name), dllName) != 0) {
            continue;
        }
        // The lookup table names what each slot imports; the slots themselves
        // hold the bound addresses.
        DWORD lookupOffset = import->OriginalFirstThunk ? import->OriginalFirstThunk : import->FirstThunk;
        const IMAGE_THUNK_DATA* lookup = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + lookupOffset);
        IMAGE_THUNK_DATA* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->FirstThunk);
        for (; lookup->u1.AddressOfData != 0; ++lookup, ++slot) {
            if (!IMAGE_SNAP_BY_ORDINAL(lookup->u1.Ordinal) || IMAGE_ORDINAL(lookup->u1.Ordinal) != ordinal) {
                continue;
            }
            DWORD protection = 0;
            if (!VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, PAGE_READWRITE, &protection)) {
                return NULL;
            }
            previous = reinterpret_cast<void*>(slot->u1.Function);
            slot->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
            VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, protection, &protection);
        }
    }
    return previous;
}
