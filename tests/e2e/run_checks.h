// Watching a hash run of the real program from outside: the test files it digests, its progress
// dialog, the list's entries and the state the main window is left in.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tests/e2e/process_harness.h"

// How long a run of a few small files may take on a loaded machine; a passing test never waits
// it out.
constexpr DWORD kRunTimeoutMs = 20000;

// A result line as the list shows it: digest, algorithm name, then the entry's path.
std::string ResultLine(const std::string& digest, const std::string& algorithm, const std::string& path);

// Every entry of the main window's list, in list order.
std::vector<std::string> ListEntries(HWND mainWindow);

// The progress dialog of processId, shown or not, or null: a top-level dialog holding the
// whole-list bar and the cancel button.
HWND FindProgressDialog(DWORD processId);

// Waits until the run is over: no progress dialog left and no entry still a bare path (an entry
// that became a result line holds " <- ").  False after timeoutMs.
bool WaitForRunEnd(DWORD processId, HWND mainWindow, DWORD timeoutMs = kRunTimeoutMs);

// Checks, as test expectations, the main window after a run that completed: start disabled,
// list enabled, save and clear offered, and no progress dialog anywhere in the process.
void ExpectCompletedRun(const DigestorProcess& digestor, HWND mainWindow);
