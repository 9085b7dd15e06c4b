#pragma once

// What the walk found at a path: a file to digest, or something it could not
// take, which the caller reports instead of passing over it.
enum WalkFind {
    FoundFile,
    FoundUnlistedFolder,    // a folder (or folder link) that cannot be searched
    FoundPathTooLong,       // the path does not fit a list line; path is cut to 519 characters
    FoundNameNotInCodePage, // a name the process code page cannot hold; path shows its nearest form
};

// Receives every find with its path; false ends the walk.
typedef bool (*FileSink)(const char* path, WalkFind find, void* context);

// The folder walk of the program, behind the window's list and the console
// alike: hands every file below folder (a path of at most 519 characters) to
// sink, depth first, in the order the file system delivers the entries.
// Each folder is walked once, told by its volume and file index whatever path
// leads to it, so a folder link to a folder already walked (an ancestor, or
// one reached before on another path) is passed over. False when the sink
// ended the walk.
bool WalkFolder(const char* folder, FileSink sink, void* context);
