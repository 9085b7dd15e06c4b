#pragma once

#include <windows.h>

// Dialog procedure of the main window (dialog 101), run modally by the
// start-up. The dialog ends with 1 when the window is closed in any way.
INT_PTR CALLBACK MainDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
