#include "base/sum_line.h"

#include "base/algorithm_names.h"

namespace {

// The kinds a "digest  path" line may hold, by its length in hex digits: the one such lines most
// often mean first (md5sum's, sha256sum's, sha512sum's), then the rest (xxhsum -H2's, b3sum's, ...).
const struct {
    size_t length;
    DigestKind kinds[MostSumLineKinds];
    size_t count;
} SumKinds[] = {{16, {DigestXXH3}, 1},
                {32, {DigestMD5, DigestXXH128}, 2},
                {40, {DigestSHA1}, 1},
                {64, {DigestSHA256, DigestSHA3_256, DigestBLAKE3}, 3},
                {128, {DigestSHA512, DigestSHA3_512}, 2}};

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
        for (size_t i = 0; i < sum.count; ++i) {
            if (sum.kinds[i] == kind) {
                return true;
            }
        }
    }
    return false;
}

size_t SumLineKinds(size_t length, DigestKind kinds[MostSumLineKinds]) {
    for (const auto& sum : SumKinds) {
        if (sum.length == length) {
            for (size_t i = 0; i < sum.count; ++i) {
                kinds[i] = sum.kinds[i];
            }
            return sum.count;
        }
    }
    return 0;
}

bool SumLineKind(size_t length, DigestKind& kind) {
    DigestKind kinds[MostSumLineKinds];
    if (SumLineKinds(length, kinds) == 0) {
        return false;
    }
    kind = kinds[0];
    return true;
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
