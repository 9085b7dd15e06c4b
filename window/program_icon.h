#pragma once

#include <windows.h>

// Makes the program's icon IDI_APP the big icon of window's class, the one the
// title bar and the task switcher show. The icon is shared and never destroyed.
void SetProgramIcon(HWND window);
