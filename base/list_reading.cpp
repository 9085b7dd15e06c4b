#include "base/list_reading.h"

#include <ctype.h>

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
// xxhsum (from 0.8.2) writes an XXH3 digest's line as "XXH3_digest  path".
const std::string Xxh3Prefix = "XXH3_";

// Hex digits of each algorithm's digest, by DigestKind.
size_t DigestLength(DigestKind kind) {
    static const size_t lengths[KindCount] = {32,        32, 32,  CrcLength, 40, 64, 128,
                                              CrcLength, 64, 128, 64,        16, 32};
    return kind >= 0 && kind <= LastDigestKind ? lengths[kind] : 0;
}

// A name as FindAlgorithm compares it: upper case, without hyphens and underscores, and OpenSSL's
// "SHA2-" (SHA2-256, SHA2-512) as the "SHA" every other tool writes.
std::string PlainName(const std::string& name) {
    std::string plain;
    for (char c : name) {
        if (c != '-' && c != '_') {
            plain += static_cast<char>(toupper(static_cast<unsigned char>(c)));
        }
    }
    return plain.compare(0, 4, "SHA2") == 0 && name.size() > 4 && (name[4] == '-' || name[4] == '_')
               ? "SHA" + plain.substr(4)
               : plain;
}

// What a list's name says of a line whose algorithm its line does not name.
enum NameSays {
    NameSaysNothing, // the length decides
    NameSaysKind,    // the kind it names, which has the digest's length
    NameSaysOther    // a list of one of the newer kinds, and a digest of another length: not checked
};

// What word, an extension or the part before a *sum tool's "SUMS", says of a digest of length hex
// digits: "b3" is BLAKE3 (b3sum's B3SUMS), "sha3" SHA3-256 or SHA3-512 by the length, and any other
// word a kind that "digest  path" lines hold, by its name.
NameSays WordSays(const std::string& word, size_t length, DigestKind& kind) {
    const std::string plain = PlainName(word);
    DigestKind named = DigestMD5;
    if (plain == "SHA3") {
        named = length == DigestLength(DigestSHA3_512) ? DigestSHA3_512 : DigestSHA3_256;
    } else if (plain == "B3") {
        named = DigestBLAKE3;
    } else if (!FindAlgorithm(word, named) || !SumLineTells(named)) {
        return NameSaysNothing;
    }
    if (DigestLength(named) == length) {
        kind = named;
        return NameSaysKind;
    }
    // md5sum's and sha256sum's lists have always been read by their lines alone.
    const bool older =
        named == DigestMD5 || named == DigestSHA1 || named == DigestSHA256 || named == DigestSHA512;
    return older ? NameSaysNothing : NameSaysOther;
}

// What the list's file name says: its extension (".sha3-256", ".blake3"), or else a name such as
// B3SUMS or SHA256SUMS (up to a dot, in any case).
NameSays ListNameSays(const std::string& listPath, size_t length, DigestKind& kind) {
    const size_t slash = listPath.find_last_of("\\/");
    const std::string name = slash == std::string::npos ? listPath : listPath.substr(slash + 1);
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos) {
        const NameSays says = WordSays(name.substr(dot + 1), length, kind);
        if (says != NameSaysNothing) {
            return says;
        }
    }
    std::string stem = name.substr(0, name.find('.'));
    for (char& c : stem) {
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    }
    const std::string Sums = "SUMS";
    return stem.size() > Sums.size() && stem.compare(stem.size() - Sums.size(), Sums.size(), Sums) == 0
               ? WordSays(stem.substr(0, stem.size() - Sums.size()), length, kind)
               : NameSaysNothing;
}

// How a line is read: in Digestor's own list or another; under a recorded list's heading, which
// names the algorithm of a digest of its length (MD4 and MD5, say, share a length); from a list of
// which file name.
struct ListSource {
    bool ownList;
    const DigestKind* known;
    const std::string* listPath;
};

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

// coreutils' "digest  path" (text mode) or "digest *path" (binary mode), and
// xxhsum's "XXH3_digest  path". A line that starts with a backslash has its
// name escaped: "\\" for a backslash, "\n" and "\r" for line ends. Its
// algorithm is the recorded heading's where the digest has its length, else
// what the list's name says, else the one its length most often means; where
// other kinds share that length, the entry is byLength.
bool ReadSumLine(const std::string& line, ListEntry& entry, const ListSource& source) {
    const bool escaped = !line.empty() && line[0] == '\\';
    const size_t start = escaped ? 1 : 0;
    const size_t gap = line.find(' ', start);
    if (gap == std::string::npos || gap + 2 > line.size() || (line[gap + 1] != ' ' && line[gap + 1] != '*')) {
        return false;
    }
    entry.digest = line.substr(start, gap - start);
    entry.path = line.substr(gap + 2);
    if (escaped && !UnescapeName(line.substr(gap + 2), entry.path)) {
        return false;
    }
    if (entry.digest.compare(0, Xxh3Prefix.size(), Xxh3Prefix) == 0) {
        entry.digest.erase(0, Xxh3Prefix.size());
        entry.algorithm = DigestXXH3;
        return true;
    }
    const size_t length = entry.digest.size();
    if (source.known && length == DigestLength(*source.known)) {
        entry.algorithm = *source.known;
        return true;
    }
    const NameSays says =
        source.listPath ? ListNameSays(*source.listPath, length, entry.algorithm) : NameSaysNothing;
    if (says != NameSaysNothing) {
        return says == NameSaysKind;
    }
    DigestKind kinds[MostSumLineKinds];
    const size_t count = SumLineKinds(length, kinds);
    entry.algorithm = kinds[0];
    entry.byLength = count > 1;
    return count > 0;
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
ListEntry ReadEntry(const std::string& line, const ListSource& source) {
    ListEntry entry = {true, DigestMD5, std::string(), std::string(), false, {0, 0}, false};
    bool read = ReadResultLine(line, entry) ||
                (!source.ownList && (ReadTagLine(line, entry) || ReadOpenSslLine(line, entry) ||
                                     ReadSumLine(line, entry, source) || ReadSfvLine(line, entry)));
    if (read && !entry.path.empty() && !HasControlCharacter(entry.path) &&
        entry.digest.size() == DigestLength(entry.algorithm) && IsHex(entry.digest)) {
        for (char& c : entry.digest) {
            c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
        }
        return entry;
    }
    ListEntry other = {false, DigestMD5, std::string(), line, false, {0, 0}, false};
    return other;
}

} // namespace

ListEntry ReadOwnLine(const std::string& line) { return ReadEntry(line, ListSource{true, nullptr, nullptr}); }

bool FindAlgorithm(std::string name, DigestKind& kind) {
    const std::string plain = PlainName(name);
    for (DigestKind k : BoxKinds) {
        if (plain == PlainName(KindName(k))) {
            kind = k;
            return true;
        }
    }
    return false;
}

namespace {

// Whether a line of a list (not of a saved list's heading) is an entry, and which: previous is the
// line before it, where a record comment may stand (null for the first line).
bool EntryOfLine(const std::string& line, const std::string* previous, bool heading, const ListSource& source,
                 ListEntry& entry) {
    if (line.empty() || line[0] == ';' || (!heading && line[0] == '#')) {
        return false;
    }
    entry = ReadEntry(line, source);
    if (!heading && entry.isResult && previous && ReadRecordComment(*previous, entry.record)) {
        entry.hasRecord = true;
    }
    return true;
}

bool IsHeading(const std::vector<std::string>& lines) {
    return lines.size() >= HeadingLines && lines[0] == Rule && lines[2] == Rule && lines[3].empty();
}

} // namespace

size_t ListTextStart(const std::string& text) {
    return text.compare(0, ByteOrderMark.size(), ByteOrderMark) == 0 ? ByteOrderMark.size() : 0;
}

bool TakeListLine(const std::string& text, size_t& at, std::string& line) {
    if (at >= text.size()) {
        return false;
    }
    size_t end = text.find('\n', at);
    end = end == std::string::npos ? text.size() : end;
    line.assign(text, at, end - at - (end > at && text[end - 1] == '\r' ? 1 : 0));
    at = end + 1;
    return true;
}

std::vector<std::string> ListLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    for (size_t at = ListTextStart(text); TakeListLine(text, at, line);) {
        lines.push_back(line);
    }
    return lines;
}

std::vector<ListEntry> ReadListLines(const std::vector<std::string>& lines, std::vector<size_t>& lineOf,
                                     const std::string& listPath) {
    const bool heading = IsHeading(lines);
    RecordHeading recorded;
    const bool isRecorded = !heading && ReadRecordHeadingLines(lines, recorded);
    const ListSource source = {heading, isRecorded ? &recorded.algorithm : nullptr, &listPath};
    std::vector<ListEntry> entries;
    lineOf.clear();
    ListEntry entry;
    for (size_t i = heading ? HeadingLines : 0; i < lines.size(); ++i) {
        if (EntryOfLine(lines[i], i > 0 ? &lines[i - 1] : nullptr, heading, source, entry)) {
            entries.push_back(entry);
            lineOf.push_back(i);
        }
    }
    return entries;
}

std::vector<ListEntry> ReadListText(const std::string& text, const std::string& listPath) {
    std::vector<ListEntry> entries;
    ListReader reader(text, listPath);
    ListEntry entry;
    size_t line = 0;
    while (reader.Next(entry, line)) {
        entries.push_back(entry);
    }
    return entries;
}

ListReader::ListReader(const std::string& text, const std::string& listPath)
    : m_text(text), m_listPath(listPath), m_at(ListTextStart(text)), m_line(0), m_heading(false),
      m_recorded(false), m_known{DigestMD5, 0, {}} {
    // The lines a saved list's heading or a recorded list's comments may take, read once more below.
    std::vector<std::string> top;
    std::string line;
    for (size_t at = m_at; TakeListLine(text, at, line);) {
        top.push_back(line);
        if (top.size() >= HeadingLines && (line.empty() || line[0] != '#')) {
            break;
        }
    }
    m_heading = IsHeading(top);
    m_recorded = !m_heading && ReadRecordHeadingLines(top, m_known);
    for (size_t i = 0; m_heading && i < HeadingLines; ++i) {
        TakeListLine(text, m_at, m_previous);
        ++m_line;
    }
}

bool ListReader::Next(ListEntry& entry, size_t& line) {
    const ListSource source = {m_heading, m_recorded ? &m_known.algorithm : nullptr, &m_listPath};
    std::string text;
    while (TakeListLine(m_text, m_at, text)) {
        const bool found = EntryOfLine(text, m_line > 0 ? &m_previous : nullptr, m_heading, source, entry);
        line = m_line++;
        m_previous.swap(text);
        if (found) {
            return true;
        }
    }
    return false;
}

bool IsRelativePath(const std::string& path) { return path.find(':') != 1 && path.find_first_of("\\/") != 0; }

std::string ResolveEntryPath(const std::string& listPath, const std::string& path) {
    const bool relative = IsRelativePath(path);
    size_t folderEnd = listPath.find_last_of("\\/");
    return relative && folderEnd != std::string::npos ? listPath.substr(0, folderEnd + 1) + path : path;
}
