// The menu probe DLL: runs inside Digestor on a thread the test starts there, and reads the menu
// bar of a window into a request the test placed in Digestor's memory.
#include <windows.h>

#include "tests/e2e/menu_probe.h"

extern "C" __declspec(dllexport) DWORD WINAPI ReadMenuOfWindow(void* parameter) {
    MenuProbeRequest* request = static_cast<MenuProbeRequest*>(parameter);
    HMENU menu = GetMenu(reinterpret_cast<HWND>(static_cast<uintptr_t>(request->window)));
    request->barCount = menu ? GetMenuItemCount(menu) : -1;
    if (!menu)
        return 0;
    for (uint32_t i = 0; i < request->commandCount && i < static_cast<uint32_t>(kMenuProbeCommands); ++i) {
        request->states[i] = GetMenuState(menu, request->commands[i], MF_BYCOMMAND);
        GetMenuStringA(menu, request->commands[i], request->commandTexts[i], kMenuProbeText, MF_BYCOMMAND);
    }
    for (int i = 0; i < request->barCount && i < kMenuProbeBarItems; ++i) {
        GetMenuStringA(menu, static_cast<UINT>(i), request->barTexts[i], kMenuProbeText, MF_BYPOSITION);
        UINT id = GetMenuItemID(menu, i);
        request->barIds[i] = id == static_cast<UINT>(-1) ? 0 : id;
    }
    return 1;
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
