#pragma once

// Appends every file below folder (a path of at most 519 characters) to
// FileList, depth first, in the order the file system delivers the entries.
// Folders that cannot be searched and entries whose path would not fit 519
// characters are skipped silently, and so is a folder link that leads back to
// a folder on the path being walked. Each file costs one synchronous message to
// the list, so the worker may call it as well as the window thread.
void ScanFolder(const char* folder);
