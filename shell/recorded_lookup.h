// Where a file stands in a recorded list: the lists of its folder and of every folder above it (a
// folder's list lies beside the folder, named <Folder>.<alg>), found with one directory search per
// folder and read only when their first line is the recorded heading. Each folder is searched and
// each list read once per lookup object, so a selection of many files from one folder costs one
// search per folder above it. The worker's own: no lock, no sharing.
#pragma once

#include <windows.h>

#include <string>
#include <unordered_map>
#include <vector>

#include "base/list_reading.h"
#include "base/recorded_list.h"

// What the nearest list that names a file says of it.
struct RecordedMatch {
    DigestKind kind;
    std::string digest; // expected, lower-case hex
    FileRecord record;
    std::wstring listName;
    unsigned long long recordedAt;
};

class RecordedLookup {
public:
    // The entry of the nearest list naming path (a full path), lists nearer the file first; false
    // when none does or when stop was set on the way.
    bool Find(const std::wstring& path, const volatile LONG& stop, RecordedMatch& match);

private:
    struct List {
        std::wstring name;
        std::string folder; // UTF-8, where its paths are relative to
        RecordHeading heading;
        std::vector<ListEntry> entries;
        std::unordered_map<std::string, size_t> byPath; // NameKey of each recorded entry
    };

    const std::vector<size_t>& ListsIn(const std::wstring& folder);
    void ReadList(const std::wstring& folder, const std::wstring& name);

    std::unordered_map<std::wstring, std::vector<size_t>> m_folders; // by upper-cased folder
    std::vector<List> m_lists;
};
