#pragma once

#include <windows.h>

// Gives a progress bar the program's look: no visual styles, the extended
// style WS_EX_NOPARENTNOTIFY alone, the dark grey bar colour.
void DressProgressBar(HWND bar);
