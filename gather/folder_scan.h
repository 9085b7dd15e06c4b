#pragma once

#include <string>

// Appends every file below folder to FileList, in the order of WalkFolder
// (gather/folder_walk.h). What the walk cannot take (a folder it cannot
// search, a path too long for a list line, a name outside the code page) is
// listed as a failure line of the language module in its place, never left
// out. Each entry costs one synchronous message to the list, so the worker
// may call it as well as the window thread.
void ScanFolder(const char* folder);

// The failure line of the language module for a find the walk could not
// take (string IDS_CANNOT_LIST, IDS_PATH_TOO_LONG or IDS_NAME_NOT_SHOWN),
// cut to fit a list entry.
std::string WalkFailureLine(const char* path, int find);
