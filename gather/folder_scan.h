#pragma once

// Appends every file below folder to FileList, in the order of WalkFolder
// (gather/folder_walk.h), which skips what it skips. Each file costs one
// synchronous message to the list, so the worker may call it as well as the
// window thread.
void ScanFolder(const char* folder);
