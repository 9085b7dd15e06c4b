#pragma once

#include <windows.h>

// Worker started by every drop: walks the folders in PendingFolders in drop
// order while the main window looks busy, frees the queue and sends
// MSG_SCAN_DONE to MainWindow, waiting until it has been handled. The
// parameter is not used; the thread ends with 0.
DWORD WINAPI FolderExpandThread(LPVOID parameter);
