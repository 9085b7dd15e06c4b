// The program's private window messages, sent synchronously by a worker to the
// window thread unless a comment says otherwise; each receiving dialog
// procedure reports them handled.
#pragma once

#include <windows.h>

// These two keep their historic numbers. To the dialog manager they are also
// DM_SETDEFID and DM_REPOSITION, which is why they must be reported handled.
// MSG_HASH_DONE's lParam: what the run found for a recorded list, or null.
const UINT MSG_HASH_DONE = WM_USER + 1; // to the progress dialog: the run is over
const UINT MSG_SCAN_DONE = WM_USER + 2; // to the main window: the dropped folders are walked

// Newer ones lie in the application's own range.
const UINT MSG_READ_ENTRIES = WM_APP + 1;    // lParam: EntryBatch to fill
const UINT MSG_REPLACE_ENTRIES = WM_APP + 2; // lParam: LineBatch to apply
// Posted by the main window to itself: the command line is taken once it shows.
const UINT MSG_TAKE_COMMAND_LINE = WM_APP + 3;
const UINT MSG_ADD_NEW_FILES = WM_APP + 4; // lParam: std::vector<std::string> of a check's NEW files
// Posted by the progress dialog to the main window as it goes: wParam 1 when
// the run ran to its end, 0 when it was cancelled or could not start.
const UINT MSG_RUN_ENDED = WM_APP + 5;
const UINT MSG_ADD_ENTRIES = WM_APP + 6; // lParam: FoundEntries of a walk to append
// The longest, in milliseconds, the window thread works on one MSG_ADD_ENTRIES or
// MSG_REPLACE_ENTRIES before it looks at its queue again: it takes a batch in
// slices, and the sender sends the batch again until all of it is taken, so the
// window answers within about a slice whatever the list's length. Under Wine a
// list box of a million entries grows by copying its item array, tens of
// milliseconds at a time, and a replaced entry in view costs a call to the server.
const ULONGLONG ListWorkSlice = 10;
// To the file list itself (GuiListbox::ReplaceEntry): entry wParam gets the
// text lParam in place; the entry's index, or LB_ERR.
const UINT MSG_REPLACE_ENTRY = WM_APP + 7;
// Posted by the file list to itself: the entries added since it was posted
// are painted now, once (see ListBoxProc).
const UINT MSG_LIST_REDRAW = WM_APP + 8;
