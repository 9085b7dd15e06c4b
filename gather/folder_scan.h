#pragma once

#include <stddef.h>

// Appends every file below folder to FileList, in the order of WalkFolder
// (gather/folder_walk.h). What the walk cannot take (a folder it cannot
// search, a path too long for a list line, a name outside the code page) is
// listed as its failure line (gather/walk_failure_line.h) in its place, never
// left out. The expansion worker calls it, one walk at a time: the finds go to
// the window thread in batches (MSG_ADD_ENTRIES), because under Wine one
// message between threads costs far more than listing a find. A batch goes
// when it is full, when the last one went a report interval ago, and at the
// end, so the list fills as the walk goes.
void ScanFolder(const char* folder);

// Entries on their way to the list, in walk order.
struct FoundEntries {
    int count;
    size_t used;
    int taken;             // of them, listed so far by the window thread
    size_t takenBytes;     // the text of those
    char text[128 * 1024]; // count entries, each ended by its '\0'
};

// Window thread, on MSG_ADD_ENTRIES: appends the entries after the taken ones
// to FileList in order, at least one and for about ListWorkSlice, and counts
// them taken.
void AddFoundEntries(FoundEntries* found);

// The walk's progress and its stop, window thread only unless said otherwise.
// BeginScanProgress starts counting a walk's finds (StartFolderExpansion calls
// it); while it runs the line under the list shows how many entries it has
// listed and the folder of the latest, about four times a second.
void BeginScanProgress();
// Asks the walk under way to end at its next find, keeping what it listed.
void StopScan();
// Any thread: StopScan was called since BeginScanProgress.
bool ScanStopped();
// The walk is over: the line under the list gets back its text, or, after a
// stop, the word that the list holds only what was found.
void EndScanProgress();

// Tests only: called on the walk's thread with the number of each find (from
// 1) before the walk looks at a stop; null, the default, calls nothing.
typedef void (*WalkFindHook)(long long find);
void SetWalkFindHook(WalkFindHook hook);
