// The program's private window messages, all sent synchronously by a worker to
// the window thread; each receiving dialog procedure reports them handled.
#pragma once

#include <windows.h>

// These two keep their historic numbers. To the dialog manager they are also
// DM_SETDEFID and DM_REPOSITION, which is why they must be reported handled.
const UINT MSG_HASH_DONE = WM_USER + 1; // to the progress dialog: the run is over
const UINT MSG_SCAN_DONE = WM_USER + 2; // to the main window: the dropped folders are walked

// Newer ones lie in the application's own range.
const UINT MSG_READ_ENTRIES = WM_APP + 1;    // lParam: EntryBatch to fill
const UINT MSG_REPLACE_ENTRIES = WM_APP + 2; // lParam: LineBatch to apply
// Posted by the main window to itself: the command line is taken once it shows.
const UINT MSG_TAKE_COMMAND_LINE = WM_APP + 3;
const UINT MSG_ADD_ENTRIES = WM_APP + 4; // lParam: FoundEntries of a walk to append
