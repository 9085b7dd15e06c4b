#include "app/startup.h"

#include <commctrl.h>
#include <objbase.h>

#include "app/main_dialog.h"
#include "base/language_choice.h"
#include "companion/varnolib.h"
#include "res/resource.h"
#include "window/app_state.h"

int RunDigestor(HINSTANCE instance) {
    // Libraries loaded later are not looked for in the current folder.
    SetDllDirectoryA("");

    // An unknown program folder ends the start like a missing language module.
    bool directoryKnown = TakeProgramIdentity(instance);

    InitCommonControls();

    if (InitLibrary(VarnoInterfaceMajor, VarnoInterfaceMinor, VarnoInterfaceRevision,
                    VarnoInterfaceReserved) == 0) {
        return 0;
    }
    if (StartLibrary(VarnoStartNormal) == 0) {
        return 0;
    }

    // A program folder too long for the path buffer counts as a missing module.
    char path[PathBufferSize];
    if (directoryKnown && BuildLanguagePath(path, AppDirectory, GetSystemDefaultLangID())) {
        LanguageModule = LoadLibraryA(path);
    }
    if (LanguageModule == NULL) {
        // No language module, so no wording: these two texts are the program's own.
        MessageBoxA(NULL, "LANGUAGE NOT FOUND!\n\nPlease re-install the program.", "ERROR", MB_ICONERROR);
        return 0;
    }
    // Before any window: Arabic, Hebrew and Persian windows and dialogs flow from the right, as
    // Windows mirrors its own.
    if (ReadsRightToLeft(LanguageModuleFor(GetSystemDefaultLangID()))) {
        SetProcessDefaultLayout(LAYOUT_RTL);
    }

    // The taskbar object is created in this thread's apartment and used until the
    // process ends, so COM is never uninitialised. A failure needs no handling:
    // the object's creation then fails too and the program runs on without
    // taskbar progress (RPC_E_CHANGED_MODE, COM already up multithreaded, still
    // lets it be created).
    CoInitializeEx(NULL, COINIT_APARTMENTTHREADED);

    return static_cast<int>(
        DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(IDD_MAIN), NULL, MainDialogProc, 0));
}
