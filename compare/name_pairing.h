// The pairing of two sides' entries as Windows pairs names: without regard to
// case, on the UTF-16 form; names that differ only in their Unicode
// normalisation (a copy from a disk that stores them decomposed) pair too.
#pragma once

#include <string>
#include <vector>

#include "compare/side_listing.h"

// Between the names of a key: below every character a name may hold, so keys
// sort a folder's entries right after it and before any name it begins.
const wchar_t KeySeparator = L'\x01';

// The key a relative path pairs by: its names in NFC, in upper case,
// KeySeparator between them.
std::wstring PairingKey(const std::string& path);

// Two entries paired, or one alone (the other -1).
struct EntryPair {
    int original;
    int copy;
    bool otherForm; // the names differ beyond case: in their Unicode normalisation
};

// The pairs of two listings sorted by key, in the order of their keys. Where
// one side holds several entries of one key (names a case-sensitive disk keeps
// apart), those of the same name but for case pair first.
std::vector<EntryPair> PairNames(const std::vector<SideEntry>& original, const std::vector<SideEntry>& copy);
