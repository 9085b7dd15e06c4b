#pragma once

#include <windows.h>

// File > Check list... and `Digestor.exe /check LIST`: reads the checksum list
// at path (null: asks for it with the open dialog) in every form a check
// reads, asks before it replaces a list that is not empty, fills the list
// with the full path of every file it can check and starts the run, which
// gives each entry its verdict line and ends with the tally. A list that
// cannot be read, or holds nothing to check, is named in a message and
// nothing changes. Window thread, while no walk or run is busy.
void CheckList(HWND owner, const char* path);
