#pragma once

#include <windows.h>

// The Edit menu's compare with the clipboard: finds a digest in the
// clipboard's text (FindDigestInText), selects the file list's first result
// line with that digest, as a click on it would, and names its path
// (IDS_COMPARE_MATCH); otherwise says that no entry has it (IDS_COMPARE_NONE)
// or that the clipboard holds no digest (IDS_COMPARE_NO_DIGEST). owner is the
// main window. Does nothing while a walk or a run changes the list.
void CompareClipboard(HWND owner);
