#pragma once

#include <string>

// The failure line of the language module for a find the walk could not
// take (WalkFind: string IDS_CANNOT_LIST, IDS_PATH_TOO_LONG or
// IDS_NAME_NOT_SHOWN), cut to fit a list entry. The window lists it in the
// find's place, the console puts it out and into its -o list.
std::string WalkFailureLine(const char* path, int find);
