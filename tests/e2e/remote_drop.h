// Dropping files on a window of another process as the shell does: a WM_DROPFILES whose drop
// handle is built inside that process by the probe DLL (see drop_probe.h), since a handle made
// here means nothing there.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Posts a drop of paths (ANSI texts, in drop order) to window, which belongs to process.  True
// once the drop is posted; the window handles it later, on its own thread.  On failure error, when
// given, says why.
bool DropFiles(HANDLE process, DWORD processId, HWND window, const std::vector<std::string>& paths,
               std::string* error = nullptr);
