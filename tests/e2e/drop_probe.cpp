// The drop export of the probe DLL: runs inside Digestor on a thread the test starts there and
// posts a drop built in Digestor's own memory, as the shell does when files are dropped.
#include <windows.h>
#include <shlobj.h>

#include <string.h>

#include "tests/e2e/drop_probe.h"

extern "C" __declspec(dllexport) DWORD WINAPI DropFilesOnWindow(void* parameter) {
    const DropProbeRequest* request = static_cast<const DropProbeRequest*>(parameter);
    const wchar_t* paths = reinterpret_cast<const wchar_t*>(request + 1);
    // An unterminated list would send DragQueryFile past the end of the drop.
    const uint32_t chars = request->pathChars;
    if (chars < 2 || paths[chars - 1] != L'\0' || paths[chars - 2] != L'\0')
        return 0;

    const SIZE_T listBytes = static_cast<SIZE_T>(chars) * sizeof(wchar_t);
    HGLOBAL drop = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + listBytes);
    if (!drop)
        return 0;
    DROPFILES* header = static_cast<DROPFILES*>(GlobalLock(drop));
    if (!header) {
        GlobalFree(drop);
        return 0;
    }
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE; // what the shell delivers; the program's ANSI queries convert it
    memcpy(header + 1, paths, listBytes);
    GlobalUnlock(drop);

    // Posted like a real drop; the window frees it with DragFinish.
    HWND window = reinterpret_cast<HWND>(static_cast<uintptr_t>(request->window));
    if (!PostMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0)) {
        GlobalFree(drop);
        return 0;
    }
    return 1;
}
