#pragma once

#include <string>

// What the walk found at a path: a file to digest, or something it could not
// take, which the caller reports instead of passing over it.
enum WalkFind {
    FoundFile,
    FoundUnlistedFolder,    // a folder (or folder link) that cannot be searched
    FoundPathTooLong,       // the path does not fit a list line; path is cut to 519 characters
    FoundNameNotInCodePage, // a name the process code page cannot hold; path shows its nearest form
    FoundFolder,            // WalkEntries alone: a folder about to be entered
    FoundEmptyFolder,       // WalkEntries alone: a folder that holds nothing at all
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

// One find of WalkEntries.
struct WalkEntry {
    const char* path;
    WalkFind find;
    unsigned long long size; // FoundFile: the file's size as its folder's listing gives it
};

// What WalkEntries does after a find.
enum WalkStep {
    WalkOn,
    WalkPassOver, // after FoundFolder: the folder is not entered
    WalkEnd,
};
typedef WalkStep (*EntrySink)(const WalkEntry& entry, void* context);

// The same walk, telling more, for a listing that pairs two trees: each file's
// size from its folder's listing (no open, which under Wine is a server call a
// file), each folder before it is entered, which the sink may pass over, and
// each folder found empty after it. False when the sink ended the walk.
bool WalkEntries(const char* folder, EntrySink sink, void* context);

// Whether two existing paths are the same file or folder, told by volume and
// file index as the walk tells folders: a link and its target are the same.
bool SameFileOrFolder(const std::string& one, const std::string& other);
