// Drops onto the main window as the shell makes them, and the wait for the
// expansion worker that every drop starts.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "main_window_session.h"

// A drop as the shell hands it over: DROPFILES, then the ANSI paths, each
// zero-terminated, and one more zero. The receiver releases it (DragFinish).
HDROP MakeDrop(const std::vector<std::string>& paths);

// Sends WM_DROPFILES with paths to window; returns once the window thread has
// taken the drop in (files listed, worker started).
void DropOnto(HWND window, const std::vector<std::string>& paths);

// ExpandThread belongs to the window thread, so it is read there.
bool ExpansionRuns(MainWindowSession& session);
// Waits (bounded) until the expansion worker has sent MSG_SCAN_DONE and the
// window has closed its handle.
bool WaitForExpansionEnd(MainWindowSession& session, DWORD timeoutMs = 20000);
