#include "shell_drop.h"

#include <shlobj.h>

#include <string.h>

#include "base/app_state.h"

HDROP MakeDrop(const std::vector<std::string>& paths) {
    size_t size = sizeof(DROPFILES) + 1;
    for (const std::string& path : paths) {
        size += path.size() + 1;
    }
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    DROPFILES* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = FALSE;
    char* out = reinterpret_cast<char*>(drop + 1);
    for (const std::string& path : paths) {
        memcpy(out, path.c_str(), path.size() + 1);
        out += path.size() + 1;
    }
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

void DropOnto(HWND window, const std::vector<std::string>& paths) {
    SendMessageA(window, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(paths)), 0);
}

bool ExpansionRuns(MainWindowSession& session) {
    bool runs = true;
    session.OnWindowThread([&] { runs = ExpandThread != NULL; });
    return runs;
}

bool WaitForExpansionEnd(MainWindowSession& session, DWORD timeoutMs) {
    return WaitFor([&] { return !ExpansionRuns(session); }, timeoutMs);
}
