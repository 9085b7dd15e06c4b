// The comparison run: an original folder (or file) compared with its copy by
// content (compare/folder_compare.h) on the worker thread of the progress
// dialog, every finding appended to the emptied file list as its verdict line.
#pragma once

#include <windows.h>

#include "compare/folder_compare.h"

// Window thread, while no walk or run is busy: opens the progress dialog on the
// comparison of request (full paths), whose lines are appended to the list.
// False when the run could not begin.
bool StartComparison(HWND window, const CompareRequest& request);

// Window thread, on MSG_RUN_ENDED: a comparison that ran to its end shows its
// tally naming both sides (or why it could not compare) over window; a
// cancelled one keeps its lines and says nothing. False when the run was no
// comparison.
bool FinishComparison(HWND window, bool finished);
