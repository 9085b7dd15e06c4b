#include "base/sum_line.h"

#include "base/algorithm_names.h"

namespace {

// The kinds a "digest  path" line tells by length, with that length in hex digits.
const struct {
    DigestKind kind;
    size_t length;
} SumKinds[] = {{DigestMD5, 32}, {DigestSHA1, 40}, {DigestSHA256, 64}, {DigestSHA512, 128}};

bool NeedsEscape(const std::string& path) { return path.find_first_of("\\\r\n") != std::string::npos; }

std::string Escaped(const std::string& path) {
    std::string escaped;
    for (char c : path) {
        escaped += c == '\\' ? "\\\\" : c == '\n' ? "\\n" : c == '\r' ? "\\r" : std::string(1, c);
    }
    return escaped;
}

} // namespace

bool SumLineTells(DigestKind kind) {
    for (const auto& sum : SumKinds) {
        if (sum.kind == kind) {
            return true;
        }
    }
    return false;
}

bool SumLineKind(size_t length, DigestKind& kind) {
    for (const auto& sum : SumKinds) {
        if (sum.length == length) {
            kind = sum.kind;
            return true;
        }
    }
    return false;
}

bool TagLineNames(DigestKind kind) {
    return kind != DigestMD2 && kind != DigestCRC32 && kind != DigestZipCRC32;
}

std::string SumLine(const std::string& digest, const std::string& path) {
    return NeedsEscape(path) ? "\\" + digest + "  " + Escaped(path) : digest + "  " + path;
}

std::string TagLine(DigestKind kind, const std::string& digest, const std::string& path) {
    const std::string name = KindName(kind);
    return NeedsEscape(path) ? "\\" + name + " (" + Escaped(path) + ") = " + digest
                             : name + " (" + path + ") = " + digest;
}

bool UnescapeName(const std::string& name, std::string& plain) {
    plain.clear();
    for (size_t i = 0; i < name.size(); ++i) {
        if (name[i] != '\\') {
            plain += name[i];
            continue;
        }
        const char next = i + 1 < name.size() ? name[++i] : '\0';
        if (next != '\\' && next != 'n' && next != 'r') {
            return false;
        }
        plain += next == 'n' ? '\n' : next == 'r' ? '\r' : '\\';
    }
    return true;
}
