#pragma once

#include <windows.h>

// File > Update list: after a check of a recorded list ran to its end, asks
// whether to apply what it found (MODIFIED files get their new digests and
// records, NEW files are added, MISSING ones dropped, CORRUPTED ones keep
// what was recorded), rewrites the list in place and says how it went. The
// list is left alone when it has changed since the check. Window thread,
// while no walk or run is busy.
void UpdateList(HWND owner);
