#include "base/list_reading.h"

#include <ctype.h>

#include "base/algorithm_names.h"

namespace {

// A saved list opens with a rule, the title line (the program's title and
// the heading of the language that saved it), a rule and an empty line.
const size_t HeadingLines = 4;
const std::string Rule(80, '-');
const std::string ByteOrderMark = "\xEF\xBB\xBF";
const std::string ResultMark = " <- ";
const std::string PathMark = " -> ";
const std::string TagMark = ") = ";
const size_t CrcLength = 8;

// Hex digits of each algorithm's digest, by DigestKind.
size_t DigestLength(DigestKind kind) {
    static const size_t lengths[] = {32, 32, 32, CrcLength, 40, 64, 128, CrcLength};
    return kind >= 0 && kind <= DigestZipCRC32 ? lengths[kind] : 0;
}

bool IsHex(const std::string& text) {
    return !text.empty() && text.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos;
}

// A control character (a NUL byte above all) inside a path would make it
// name another file than the line says.
bool HasControlCharacter(const std::string& path) {
    for (char c : path) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            return true;
        }
    }
    return false;
}

// "digest <- ALG -> path", as the window and the console write it.
bool ReadResultLine(const std::string& line, ListEntry& entry) {
    size_t mark = line.find(ResultMark);
    size_t name = mark + ResultMark.size();
    size_t pathMark = mark == std::string::npos ? mark : line.find(PathMark, name);
    if (pathMark == std::string::npos ||
        !FindAlgorithm(line.substr(name, pathMark - name), entry.algorithm)) {
        return false;
    }
    entry.digest = line.substr(0, mark);
    entry.path = line.substr(pathMark + PathMark.size());
    return true;
}

// BSD tags: "SHA256 (path) = digest", for the algorithms the BSD tools name.
bool ReadTagLine(const std::string& line, ListEntry& entry) {
    size_t open = line.find(" (");
    size_t close = line.rfind(TagMark);
    if (open == std::string::npos || close == std::string::npos || close < open + 2 ||
        !FindAlgorithm(line.substr(0, open), entry.algorithm) || entry.algorithm == DigestMD2 ||
        entry.algorithm == DigestCRC32) {
        return false;
    }
    entry.path = line.substr(open + 2, close - open - 2);
    entry.digest = line.substr(close + TagMark.size());
    return true;
}

// coreutils' "digest  path" (text mode) or "digest *path" (binary mode), the
// algorithm told by the digest's length. A line that starts with a backslash
// has its name escaped: "\\" for a backslash, "\n" and "\r" for line ends.
// known: the algorithm a recorded list's heading names, which a digest of its
// length is (MD4 and MD5, say, share a length).
bool ReadSumLine(const std::string& line, ListEntry& entry, const DigestKind* known) {
    const bool escaped = !line.empty() && line[0] == '\\';
    const size_t start = escaped ? 1 : 0;
    const size_t gap = line.find(' ', start);
    if (gap == std::string::npos || gap + 2 > line.size() || (line[gap + 1] != ' ' && line[gap + 1] != '*')) {
        return false;
    }
    entry.digest = line.substr(start, gap - start);
    const DigestKind kinds[] = {DigestMD5, DigestSHA1, DigestSHA256, DigestSHA512};
    bool found = false;
    for (DigestKind kind : kinds) {
        if (entry.digest.size() == DigestLength(kind)) {
            entry.algorithm = kind;
            found = true;
        }
    }
    if (known && entry.digest.size() == DigestLength(*known)) {
        entry.algorithm = *known;
        found = true;
    }
    std::string name = line.substr(gap + 2);
    if (escaped) {
        std::string plain;
        for (size_t i = 0; i < name.size(); ++i) {
            if (name[i] == '\\' && i + 1 < name.size()) {
                const char next = name[++i];
                plain += next == 'n' ? '\n' : next == 'r' ? '\r' : next == '\\' ? '\\' : '\0';
            } else {
                plain += name[i];
            }
        }
        name = plain;
    }
    entry.path = name;
    return found;
}

// SFV: "path CRC", the CRC of zip files in eight hex digits.
bool ReadSfvLine(const std::string& line, ListEntry& entry) {
    size_t space = line.rfind(' ');
    if (space == std::string::npos || space == 0 || line.size() - space - 1 != CrcLength) {
        return false;
    }
    entry.algorithm = DigestZipCRC32;
    entry.path = line.substr(0, space);
    entry.digest = line.substr(space + 1);
    return true;
}

// A list under Digestor's heading holds its own lines only: a path not yet
// digested that ends in eight hex digits is no SFV line there.
ListEntry ReadEntry(const std::string& line, bool ownList, const DigestKind* known) {
    ListEntry entry = {true, DigestMD5, std::string(), std::string(), false, {0, 0}};
    bool read = ReadResultLine(line, entry) ||
                (!ownList &&
                 (ReadTagLine(line, entry) || ReadSumLine(line, entry, known) || ReadSfvLine(line, entry)));
    if (read && !entry.path.empty() && !HasControlCharacter(entry.path) &&
        entry.digest.size() == DigestLength(entry.algorithm) && IsHex(entry.digest)) {
        for (char& c : entry.digest) {
            c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
        }
        return entry;
    }
    ListEntry other = {false, DigestMD5, std::string(), line, false, {0, 0}};
    return other;
}

} // namespace

ListEntry ReadOwnLine(const std::string& line) { return ReadEntry(line, true, nullptr); }

bool FindAlgorithm(std::string name, DigestKind& kind) {
    std::string plain;
    for (char c : name) {
        if (c != '-') {
            plain += static_cast<char>(toupper(static_cast<unsigned char>(c)));
        }
    }
    for (DigestKind k = DigestMD2; k <= DigestSHA512; ++k) {
        if (plain == AlgorithmNames[k]) {
            kind = k;
            return true;
        }
    }
    return false;
}

std::vector<std::string> ListLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t first = text.compare(0, ByteOrderMark.size(), ByteOrderMark) == 0 ? ByteOrderMark.size() : 0;
    for (size_t start = first, end = 0; start < text.size(); start = end + 1) {
        end = text.find('\n', start);
        end = end == std::string::npos ? text.size() : end;
        lines.push_back(text.substr(start, end - start - (end > start && text[end - 1] == '\r' ? 1 : 0)));
    }
    return lines;
}

std::vector<ListEntry> ReadListLines(const std::vector<std::string>& lines, std::vector<size_t>& lineOf) {
    bool heading = lines.size() >= HeadingLines && lines[0] == Rule && lines[2] == Rule && lines[3].empty();
    RecordHeading recorded;
    const bool isRecorded = !heading && ReadRecordHeadingLines(lines, recorded);
    std::vector<ListEntry> entries;
    lineOf.clear();
    for (size_t i = heading ? HeadingLines : 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (line.empty() || line[0] == ';' || (!heading && line[0] == '#')) {
            continue;
        }
        entries.push_back(ReadEntry(line, heading, isRecorded ? &recorded.algorithm : nullptr));
        lineOf.push_back(i);
        ListEntry& entry = entries.back();
        if (!heading && entry.isResult && i > 0 && ReadRecordComment(lines[i - 1], entry.record)) {
            entry.hasRecord = true;
        }
    }
    return entries;
}

std::vector<ListEntry> ReadListText(const std::string& text) {
    std::vector<size_t> lineOf;
    return ReadListLines(ListLines(text), lineOf);
}

std::string ResolveEntryPath(const std::string& listPath, const std::string& path) {
    // "C:..." and "\..." (a root or a share) lead where they lead anyway.
    bool relative = path.find(':') != 1 && path.find_first_of("\\/") != 0;
    size_t folderEnd = listPath.find_last_of("\\/");
    return relative && folderEnd != std::string::npos ? listPath.substr(0, folderEnd + 1) + path : path;
}
