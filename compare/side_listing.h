// One side of a comparison listed: its files with their sizes, its empty
// folders and what its walk could not take, each with the key that pairs it
// with the other side, sorted by that key.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

enum SideEntryKind {
    EntryFile,
    EntryEmptyFolder,
    EntryUnreadable, // a folder that cannot be searched, a path too long, a name outside the code page
};

struct SideEntry {
    std::string path; // relative to the side's root, '\' between names; a folder's ends with '\'
    std::wstring key; // PairingKey of path
    unsigned long long size;
    SideEntryKind kind;
};

struct SideListing {
    std::string root;  // in full: a folder, or a file alone
    std::string name;  // a file alone: the name its entry gets
    std::string leave; // a folder left out of the walk (the copy inside the original); empty for none
    bool listed;       // false: the root does not exist or cannot be searched
    std::vector<SideEntry> entries;
    // What the walk has found so far, for the progress while it runs; any thread.
    volatile LONG64 filesFound;
    volatile LONG64 bytesFound;
};

// Lists listing.root into listing.entries, sorted by key; a stop request
// (HashStopRequested) ends the walk early.
void ListSide(SideListing& listing);

// The path of side's root joined with an entry's relative path.
std::string EntryFullPath(const SideListing& side, const SideEntry& entry);
