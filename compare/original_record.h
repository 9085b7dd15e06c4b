// The recorded list of the original (base/recorded_list.h), written in the
// comparison's read of it as DigestorCmd --record writes one: into a new file
// beside the list, which takes the list's place only once it is complete.
#pragma once

#include <memory>
#include <string>

#include "base/list_file.h"
#include "base/recorded_list.h"

class OriginalRecord {
public:
    // original: the original's root in full, a folder or a file alone.
    OriginalRecord(const std::string& list, const std::string& original, bool folder, DigestKind kind);
    OriginalRecord(const OriginalRecord&) = delete;
    OriginalRecord& operator=(const OriginalRecord&) = delete;

    // A file of the original (in full) and what its read found; the list itself is never in it.
    void Add(const std::string& path, const std::string& digest, const FileRecord& record);
    // Puts the list in its place; false when it could not be written. Dropped uncommitted, the list is
    // left as it was.
    bool Commit();

private:
    std::string m_list;   // in full
    std::string m_folder; // where it lies: its entries are named relative to it
    ListSave m_save;
};
