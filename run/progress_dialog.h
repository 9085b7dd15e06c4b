// The progress dialog: owns a hash run from the start request to its end,
// shows the job's reports and offers to cancel.
#pragma once

#include <windows.h>

// Procedure of the modeless dialog 102, owned by the main window, which
// stores the dialog in ProgressWindow. WM_INITDIALOG starts HashWorkerThread.
INT_PTR CALLBACK ProgressDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
