#pragma once

#include <windows.h>

#include "gather/folder_queue.h"

// Folders of the last drop that wait to be walked: filled by the drop, drained
// and freed by the worker.
extern FolderQueue PendingFolders;

// Worker started by every drop and command line: walks the folders in
// PendingFolders in their order while the main window looks busy, frees the
// queue and sends MSG_SCAN_DONE to MainWindow, waiting until it has been
// handled. The parameter is not used; the thread ends with 0.
DWORD WINAPI FolderExpandThread(LPVOID parameter);

// Window thread: starts FolderExpandThread on what PendingFolders holds (even
// nothing: its MSG_SCAN_DONE is what offers IDC_START), gives the main window
// its busy look and holds the list's painting until MSG_SCAN_DONE. When no
// thread can be started the queue is freed and window shows why.
void StartFolderExpansion(HWND window);
