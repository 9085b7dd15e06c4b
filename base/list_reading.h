// Reading checksum lists, for the window's check and the console's alike:
// lists the window saved (in either language) or DigestorCmd wrote with -o,
// the *sum files of GNU coreutils (md5sum, sha1sum, sha256sum, sha512sum,
// escaped lines included), BSD tags (sha256sum --tag) and SFV files.
// Standard C++ only.
#pragma once

#include <string>
#include <vector>

#include "base/recorded_list.h"
#include "engine/digestor.h"

// One entry of a list. A checksum line names the algorithm, the digest it
// expects (in lower case, as DigestText gives it) and the path; any other
// line (a path not yet digested, a failure line, a form or an algorithm the
// program does not know) is not checked, and keeps the whole line as its path.
struct ListEntry {
    bool isResult;
    DigestKind algorithm;
    std::string digest;
    std::string path;
    bool hasRecord;    // a record comment stood right before the line
    FileRecord record; // what it says
};

// The entries of a list's whole text, its lines ending in CR LF or LF. A UTF-8
// byte-order mark, a saved list's heading, empty lines and SFV comments (";")
// are no entries, nor are comment lines ("#", which *sum tools skip; a saved
// list's lines are all its own): a record comment goes with the checksum line
// right after it. Under a recorded list's heading a line "hex  path" takes the
// heading's algorithm where the digest has its length.
std::vector<ListEntry> ReadListText(const std::string& text);

// The lines of a list's whole text, without a byte-order mark and line ends.
std::vector<std::string> ListLines(const std::string& text);
// The entries of those lines as ReadListText reads them; lineOf[i] is the
// line of entry i.
std::vector<ListEntry> ReadListLines(const std::vector<std::string>& lines, std::vector<size_t>& lineOf);

// One line of Digestor's own lists: a result line "digest <- ALG -> path" is
// checked, any other line is not.
ListEntry ReadOwnLine(const std::string& line);

// The algorithm called name (one of AlgorithmNames), in any case and with or
// without a hyphen ("sha-256"); false when there is none.
bool FindAlgorithm(std::string name, DigestKind& kind);

// Whether path is relative to a folder: neither "C:..." nor "\\..." nor "/..."
// (a root or a share) leads where it leads anyway.
bool IsRelativePath(const std::string& path);

// Where path, read from the list at listPath, lies: a relative path is taken
// relative to the list's folder.
std::string ResolveEntryPath(const std::string& listPath, const std::string& path);
