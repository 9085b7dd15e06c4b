// The program's dialogs made in the process's layout. An owned dialog takes no mirroring from the
// process's default layout (only windows without owner do), so in a right-to-left language each is
// made from a mirrored copy of its template, as the main window is mirrored by the default layout.
#pragma once

#include <windows.h>

// CreateDialogParam and DialogBoxParam of template id of the program's module.
HWND CreateProgramDialog(UINT id, HWND owner, DLGPROC procedure, LPARAM parameter);
INT_PTR ShowProgramDialog(UINT id, HWND owner, DLGPROC procedure, LPARAM parameter);
