#pragma once

#include <windows.h>
#include <shellapi.h>

// WM_DROPFILES of the main window: lists the dropped files at once, queues the
// dropped folders in PendingFolders and starts FolderExpandThread for them.
// A drop that arrives while a worker runs is refused. Always releases drop.
void OnDropFiles(HWND window, HDROP drop);
