// The full paths of a recorded list's entries, kept for the search of the files the list lacks
// (gather/new_files.h) in 16 bytes a path: each is held as a 128-bit hash of its key, its full form
// with the ASCII letters in lower case (as Windows tells names apart; other letters are compared as
// written), made of two unrelated 64-bit hashes. Two paths whose keys differ share both at odds of
// about 2^-128 a pair: a disk's million files against a list of a million never meet them.
// Standard C++ only; not for two threads at once.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <unordered_set>
#include <vector>

class ListedPaths {
public:
    // Room for count paths, so that a list whose length is known is held without growing.
    void Reserve(size_t count);
    // Adds a listed path, in full (FullPath's form); one added twice is held once.
    void Add(const std::string& fullPath);
    // Whether fullPath, or a path with the same key, is not held yet; it is held from then on. The
    // search calls it for each file it finds, so a file under two overlapping folders is new once.
    // The first call sorts the paths added so far.
    bool Insert(const std::string& fullPath);

private:
    struct Key {
        uint64_t first, second;
        bool operator<(const Key& other) const {
            return first < other.first || (first == other.first && second < other.second);
        }
        bool operator==(const Key& other) const { return first == other.first && second == other.second; }
    };
    struct KeyHash {
        size_t operator()(const Key& key) const { return static_cast<size_t>(key.first); }
    };
    static Key KeyOf(const std::string& fullPath);

    std::vector<Key> m_listed; // sorted, without repeats, while m_sorted
    bool m_sorted = true;
    std::unordered_set<Key, KeyHash> m_inserted; // the files found that the list lacks: few beside it
};
