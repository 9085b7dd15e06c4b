// The progress dialog: owns a run (a digest run, a check, a comparison) from
// the start request to its end, shows the job's reports and offers to cancel.
#pragma once

#include <windows.h>

// The job a progress dialog runs on its worker thread (HashThread), and its
// caption. The job reports as HashWorkerThread does, ending with MSG_HASH_DONE.
struct RunStart {
    LPTHREAD_START_ROUTINE job;
    UINT captionId;
};

// Procedure of the modeless dialog 102, owned by the main window, which
// stores the dialog in ProgressWindow. WM_INITDIALOG starts the job of the
// RunStart its lParam points to, HashWorkerThread when it is null.
INT_PTR CALLBACK ProgressDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Window thread. A worker that did not stop when its run was torn down keeps
// HashThread set, so that nothing new starts beside it; once it has ended its
// handle is closed here. True when no worker is left.
bool ReapStoppedHashWorker();
