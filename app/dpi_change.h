#pragma once

#include <windows.h>

// Window thread, on WM_INITDIALOG of the main window: the DPI its own pixels are in.
void RememberWindowDpi(HWND window);
// WM_DPICHANGED of the main window (wParam the new DPI, lParam the suggested
// rectangle): it takes the rectangle, and its icons follow the new DPI. The
// layout and the file list scale their own pixels before this is called.
void OnDpiChanged(HWND window, WPARAM wParam, LPARAM lParam);
