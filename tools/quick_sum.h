#pragma once

#include <windows.h>

// Dialog 103: digests a typed line of text with the algorithm chosen in its
// own combo box. Run modally from the main window; ends with 1.
INT_PTR CALLBACK QuickSumDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
