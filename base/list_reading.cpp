#include "base/list_reading.h"

#include <ctype.h>

#include <iterator>

#include "base/algorithm_names.h"
#include "base/sum_line.h"

namespace {

// A saved list opens with a rule, the title line (the program's title and
// the heading of the language that saved it), a rule and an empty line.
const size_t HeadingLines = 4;
const std::string Rule(80, '-');
const std::string ByteOrderMark = "\xEF\xBB\xBF";
const std::string ResultMark = " <- ";
const std::string PathMark = " -> ";
const std::string TagMark = ") = ";
const std::string OpenSslMark = ")= ";
const size_t CrcLength = 8;

// Hex digits of each algorithm's digest, by DigestKind.
size_t DigestLength(DigestKind kind) {
    static const size_t lengths[] = {32, 32, 32, CrcLength, 40, 64, 128, CrcLength};
    return kind >= 0 && kind <= DigestZipCRC32 ? lengths[kind] : 0;
}

// A name as FindAlgorithm compares it: upper case, without hyphens, and OpenSSL's
// "SHA2-" (SHA2-256, SHA2-512) as the "SHA" every other tool writes.
std::string PlainName(const std::string& name) {
    std::string plain;
    for (char c : name) {
        if (c != '-') {
            plain += static_cast<char>(toupper(static_cast<unsigned char>(c)));
        }
    }
    return plain.compare(0, 4, "SHA2") == 0 && name.size() > 4 && name[4] == '-' ? "SHA" + plain.substr(4)
                                                                                 : plain;
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

// BSD tags: "SHA256 (path) = digest", for the algorithms the BSD tools name;
// escaped as a sum line is when it starts with a backslash (sha256sum --tag).
bool ReadTagLine(const std::string& line, ListEntry& entry) {
    const size_t start = !line.empty() && line[0] == '\\' ? 1 : 0;
    size_t open = line.find(" (", start);
    size_t close = line.rfind(TagMark);
    if (open == std::string::npos || close == std::string::npos || close < open + 2 ||
        !FindAlgorithm(line.substr(start, open - start), entry.algorithm) || !TagLineNames(entry.algorithm)) {
        return false;
    }
    entry.path = line.substr(open + 2, close - open - 2);
    entry.digest = line.substr(close + TagMark.size());
    return start == 0 || UnescapeName(std::string(entry.path), entry.path);
}

// openssl dgst: "SHA256(path)= digest", the name as OpenSSL prints it (SHA2-256
// since OpenSSL 3.0, SHA3-256, MD5, ...); never escaped.
bool ReadOpenSslLine(const std::string& line, ListEntry& entry) {
    size_t open = line.find('(');
    size_t close = line.rfind(OpenSslMark);
    if (open == std::string::npos || open == 0 || close == std::string::npos || close < open + 2 ||
        !FindAlgorithm(line.substr(0, open), entry.algorithm) || !TagLineNames(entry.algorithm)) {
        return false;
    }
    entry.path = line.substr(open + 1, close - open - 1);
    entry.digest = line.substr(close + OpenSslMark.size());
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
    bool found = SumLineKind(entry.digest.size(), entry.algorithm);
    if (known && entry.digest.size() == DigestLength(*known)) {
        entry.algorithm = *known;
        found = true;
    }
    entry.path = line.substr(gap + 2);
    return found && (!escaped || UnescapeName(line.substr(gap + 2), entry.path));
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
                (!ownList && (ReadTagLine(line, entry) || ReadOpenSslLine(line, entry) ||
                              ReadSumLine(line, entry, known) || ReadSfvLine(line, entry)));
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
    const std::string plain = PlainName(name);
    for (DigestKind k = 0; k < static_cast<DigestKind>(std::size(AlgorithmNames)); ++k) {
        if (plain == PlainName(AlgorithmNames[k])) {
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

bool IsRelativePath(const std::string& path) { return path.find(':') != 1 && path.find_first_of("\\/") != 0; }

std::string ResolveEntryPath(const std::string& listPath, const std::string& path) {
    const bool relative = IsRelativePath(path);
    size_t folderEnd = listPath.find_last_of("\\/");
    return relative && folderEnd != std::string::npos ? listPath.substr(0, folderEnd + 1) + path : path;
}
