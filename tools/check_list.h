#pragma once

#include <windows.h>

#include <string>
#include <vector>

// File > Check list... and `Digestor.exe /check LIST`: reads the checksum list
// at path (null: asks for it with the open dialog) in every form a check
// reads, asks before it replaces a list that is not empty, fills the list
// with the full path of every file it can check and starts the run, which
// gives each entry its verdict line and ends with the tally. A recorded list
// is kept in Recorded for its update. A list that cannot be read, or holds
// nothing to check, is named in a message and nothing changes. Window thread,
// while no walk or run is busy.
void CheckList(HWND owner, const char* path);

// The check of a recorded list also gives its verdict to each file under the
// list's folders that the list does not name: the run appends the files it
// found (full paths) through this, entries and expectations alike, before it
// counts the entries. Window thread, on MSG_ADD_NEW_FILES.
void ListNewFiles(const std::vector<std::string>& files);
