// What a comparison reads and what the reads have told so far: the pairs of
// both sides' entries in path order, the files each side reads, and the files
// one side alone has that may pair up as MOVED.
#pragma once

#include <memory>
#include <vector>

#include "compare/folder_compare.h"
#include "compare/name_pairing.h"
#include "compare/side_listing.h"
#include "compare/side_reading.h"

const int NoEntry = -1;

// The files of one size that one side or the other alone has: read, they may pair up as MOVED.
struct MoveGroup {
    std::vector<int> missing; // original entries, in path order
    std::vector<int> extra;   // copy entries, in path order
    int pending;              // their reads not yet taken
    bool resolved;            // MOVED pairs found (movedWith)
};

struct ComparedSide {
    SideListing listing;
    std::vector<SideRead> reads; // in path order
    std::vector<int> entryOf;    // by read: its entry
    std::vector<int> readOf;     // by entry: its place in reads, or NoEntry
    std::vector<int> groupOf;    // by entry: its MoveGroup, or NoEntry
    std::vector<int> movedWith;  // by entry: the other side's entry it pairs with as MOVED, or NoEntry
    std::unique_ptr<SideReader> reader;
    size_t taken;                 // reads whose results are taken
    unsigned long long bytesRead; // their listed sizes
};

struct ComparePlan {
    ComparedSide sides[2]; // by CompareSide
    std::vector<EntryPair> pairs;
    std::vector<MoveGroup> groups;
    unsigned long long filesAll;
    unsigned long long filesUnread; // need no read: done once paired
    unsigned long long bytesAll;    // to read
};

inline int EntryOf(const EntryPair& pair, CompareSide side) {
    return side == SideOriginal ? pair.original : pair.copy;
}
inline CompareSide OtherSide(CompareSide side) { return side == SideOriginal ? SideCopy : SideOriginal; }
inline const SideEntry& Entry(const ComparePlan& plan, CompareSide side, int entry) {
    return plan.sides[side].listing.entries[static_cast<size_t>(entry)];
}

// What each side reads, in path order, once the pairs are found: files of equal size on both sides,
// the files that may have moved and, recording, every file of the original. Empty files need no read
// to be compared.
void PlanReads(ComparePlan& plan, bool recording);

// Whether the read of entry failed: not opened, not read to its end, or of another size than listed
// (it changed). False for a file not read. Only once the read is taken.
bool ReadFailed(const ComparePlan& plan, CompareSide side, int entry);

// The MOVED pairs of a group whose reads are all taken (or that needs none: empty files alone).
void ResolveGroup(ComparePlan& plan, MoveGroup& group);
