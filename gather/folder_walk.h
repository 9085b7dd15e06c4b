#pragma once

// Receives every file the walk finds, with its path; false ends the walk.
typedef bool (*FileSink)(const char* path, void* context);

// The folder walk of the program, behind the window's list and the console
// alike: hands every file below folder (a path of at most 519 characters) to
// sink, depth first, in the order the file system delivers the entries.
// Folders that cannot be searched and entries whose path would not fit 519
// characters are skipped silently, and so is a folder link that leads back to
// a folder on the path being walked. False when the sink ended the walk.
bool WalkFolder(const char* folder, FileSink sink, void* context);
