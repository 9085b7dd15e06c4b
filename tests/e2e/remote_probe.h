// Running an export of the probe DLL (e2e_menu_probe.dll beside the running program) inside
// another process: what only that process can do, such as reading its menus or building a drop
// handle, is done there on a thread the caller starts.
#pragma once

#include <windows.h>

#include <stddef.h>

#include <string>

// Loads the probe into process (it stays there until the process ends), copies the size bytes of
// request into the process's memory, runs the probe's export entry on that copy on a new thread
// there and waits for it; with readBack the copy is then read back into request.  result is the
// export's exit code.  On failure returns false and says why in error.
bool RunProbeInside(HANDLE process, DWORD processId, const char* entry, void* request, size_t size,
                    bool readBack, DWORD& result, std::string& error);
