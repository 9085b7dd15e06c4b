#include "console/list_check.h"

#include <ctype.h>
#include <stdio.h>

#include "base/algorithm_names.h"

namespace {

// A saved list opens with a rule, the title line (the program's title and
// the heading of the language that saved it), a rule and an empty line.
const size_t HeadingLines = 4;
const std::string Rule(80, '-');
const std::string ResultMark = " <- ";
const std::string PathMark = " -> ";
const size_t Md5Length = 32;
const size_t CrcLength = 8;
const char* const VerdictTexts[] = {"OK", "FAILED", "MISSING", "READ ERROR"};

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

// md5sum's "digest  path" (text mode) or "digest *path" (binary mode).
bool ReadMd5sumLine(const std::string& line, ListEntry& entry) {
    if (line.size() <= Md5Length + 2 || line[Md5Length] != ' ' ||
        (line[Md5Length + 1] != ' ' && line[Md5Length + 1] != '*')) {
        return false;
    }
    entry.digest = line.substr(0, Md5Length);
    entry.path = line.substr(Md5Length + 2);
    return true;
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

ListEntry ReadEntry(const std::string& line) {
    ListEntry entry = {true, DigestMD5, std::string(), std::string()};
    if ((ReadResultLine(line, entry) || ReadMd5sumLine(line, entry)) && !entry.path.empty() &&
        !HasControlCharacter(entry.path) &&
        entry.digest.size() == (entry.algorithm == DigestCRC32 ? CrcLength : Md5Length) &&
        entry.digest.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos) {
        for (char& c : entry.digest) {
            c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
        }
        return entry;
    }
    ListEntry other = {false, DigestMD5, std::string(), line};
    return other;
}

} // namespace

bool FindAlgorithm(std::string name, DigestKind& kind) {
    for (char& c : name) {
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    }
    for (DigestKind k = DigestMD2; k <= DigestCRC32; ++k) {
        if (name == AlgorithmNames[k]) {
            kind = k;
            return true;
        }
    }
    return false;
}

std::vector<ListEntry> ReadListText(const std::string& text) {
    std::vector<std::string> lines;
    for (size_t start = 0, end = 0; start < text.size(); start = end + 1) {
        end = text.find('\n', start);
        end = end == std::string::npos ? text.size() : end;
        lines.push_back(text.substr(start, end - start - (end > start && text[end - 1] == '\r' ? 1 : 0)));
    }
    bool heading = lines.size() >= HeadingLines && lines[0] == Rule && lines[2] == Rule && lines[3].empty();
    std::vector<ListEntry> entries;
    for (size_t i = heading ? HeadingLines : 0; i < lines.size(); ++i) {
        if (!lines[i].empty()) {
            entries.push_back(ReadEntry(lines[i]));
        }
    }
    return entries;
}

std::string ResolveEntryPath(const std::string& listPath, const std::string& path) {
    // "C:..." and "\..." (a root or a share) lead where they lead anyway.
    bool relative = path.find(':') != 1 && path.find_first_of("\\/") != 0;
    size_t folderEnd = listPath.find_last_of("\\/");
    return relative && folderEnd != std::string::npos ? listPath.substr(0, folderEnd + 1) + path : path;
}

const char* VerdictText(Verdict verdict) { return VerdictTexts[verdict]; }

void CountVerdict(CheckTally& tally, Verdict verdict) {
    ++tally.checked;
    ++(verdict == VerdictOK ? tally.ok : verdict == VerdictMissing ? tally.missing : tally.failed);
}

std::string TallyLine(const CheckTally& tally) {
    char line[128];
    snprintf(line, sizeof line, "%d checked, %d OK, %d failed, %d missing, %d not checked", tally.checked,
             tally.ok, tally.failed, tally.missing, tally.notChecked);
    return line;
}

ExitCode CheckExitCode(const CheckTally& tally) {
    return tally.ok == tally.checked ? ExitSuccess : ExitFailure;
}
