// Reading checksum lists, for the window's check and the console's alike:
// lists the window saved (in either language) or DigestorCmd wrote with -o,
// the *sum files of GNU coreutils (md5sum, sha1sum, sha256sum, sha512sum,
// escaped lines included), of b3sum, xxhsum and sha3sum, BSD tags
// (sha256sum --tag, xxhsum --tag), openssl dgst lines and SFV files.
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
    // Nothing but the digest's length told the algorithm, and other kinds share
    // that length (64 digits: SHA256, SHA3-256, BLAKE3): algorithm is the one
    // such lines most often mean, and a check decides (KindChoice).
    bool byLength;
};

// The entries of a list's whole text, its lines ending in CR LF or LF. A UTF-8
// byte-order mark, a saved list's heading, empty lines and SFV comments (";")
// are no entries, nor are comment lines ("#", which *sum tools skip; a saved
// list's lines are all its own): a record comment goes with the checksum line
// right after it. A line's algorithm is what the line names (a tag, a result
// line, xxhsum's "XXH3_" before the digest); else, for a line "hex  path", a
// recorded list's heading where the digest has its length; else the list's file
// name, listPath (".sha3-256", ".blake3", ".b3", ".sha3" by the length,
// "B3SUMS", "SHA256SUMS"), where a list named for one of the newer kinds holds
// no line of another length; else the digest's length (SumLineKinds).
std::vector<ListEntry> ReadListText(const std::string& text, const std::string& listPath = std::string());

// Where a list's text starts: after a UTF-8 byte-order mark, if any.
size_t ListTextStart(const std::string& text);
// The line of text at at (an offset from ListTextStart on), without its line end (LF or CR LF),
// and at moved past it; false at the text's end.
bool TakeListLine(const std::string& text, size_t& at, std::string& line);

// The lines of a list's whole text, without a byte-order mark and line ends.
std::vector<std::string> ListLines(const std::string& text);
// The entries of those lines as ReadListText reads them; lineOf[i] is the
// line of entry i.
std::vector<ListEntry> ReadListLines(const std::vector<std::string>& lines, std::vector<size_t>& lineOf,
                                     const std::string& listPath = std::string());

// The entries of a list's whole text one at a time, as ReadListText reads
// them, without keeping its lines: a check of a million lines keeps no more
// than the text. The caller keeps text while the reader lives.
class ListReader {
public:
    ListReader(const std::string& text, const std::string& listPath = std::string());
    // The next entry and its line (from 0); false at the text's end.
    bool Next(ListEntry& entry, size_t& line);
    // Whether the list opens with a recorded list's heading, and what it says.
    bool Recorded(RecordHeading& heading) const {
        heading = m_known;
        return m_recorded;
    }

private:
    const std::string& m_text;
    std::string m_listPath;
    size_t m_at;   // where the next line starts
    size_t m_line; // its number
    bool m_heading;
    bool m_recorded;
    RecordHeading m_known;
    std::string m_previous; // the line before, where a record comment may stand
};

// One line of Digestor's own lists: a result line "digest <- ALG -> path" is
// checked, any other line is not.
ListEntry ReadOwnLine(const std::string& line);

// The algorithm a box offers called name (KindName of one of BoxKinds), in any
// case and with or without hyphens and underscores ("sha-256", "sha3_256",
// "SHA3256"), OpenSSL's "SHA2-256" too; false when there is none.
bool FindAlgorithm(std::string name, DigestKind& kind);

// Whether path is relative to a folder: neither "C:..." nor "\\..." nor "/..."
// (a root or a share) leads where it leads anyway.
bool IsRelativePath(const std::string& path);

// Where path, read from the list at listPath, lies: a relative path is taken
// relative to the list's folder.
std::string ResolveEntryPath(const std::string& listPath, const std::string& path);
