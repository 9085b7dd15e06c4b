// Reading the menu bar of another process's window from inside that process (see menu_probe.h).
#pragma once

#include <windows.h>

#include <string>

#include "tests/e2e/menu_probe.h"

// Loads the menu probe (bin/e2e_menu_probe.dll) into process, where it stays until the process
// ends, runs it on window and copies the filled request back.  On failure returns false and says
// why in error.
bool ReadMenuFromInside(HANDLE process, DWORD processId, HWND window, MenuProbeRequest& request,
                        std::string& error);
