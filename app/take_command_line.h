#pragma once

#include <windows.h>

// Lists the files named on the command line and walks the folders the user
// agrees to. True when the command line named anything besides the program,
// which makes the main window start a run at once.
bool TakeCommandLine(HWND window);
