#pragma once

// Appends every file below folder to FileList, in the order of WalkFolder
// (gather/folder_walk.h). What the walk cannot take (a folder it cannot
// search, a path too long for a list line, a name outside the code page) is
// listed as its failure line (gather/walk_failure_line.h) in its place, never
// left out. Each entry costs one synchronous message to the list, so the
// worker may call it as well as the window thread.
void ScanFolder(const char* folder);
