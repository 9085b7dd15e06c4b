#include "shell/typed_digest.h"

#include "base/digest_in_text.h"

namespace {

bool IsHex(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

bool IsDigestLength(size_t length) {
    return length == 8 || length == 16 || length == 32 || length == 40 || length == 64 || length == 128;
}

// The hex digits of candidate in lower case when they are all it holds beside separators.
std::string OnlyDigits(const std::string& candidate) {
    std::string digits;
    for (char c : candidate) {
        if (IsHex(c)) {
            digits += c >= 'A' && c <= 'F' ? static_cast<char>(c - 'A' + 'a') : c;
        } else if (c != ' ' && c != ':' && c != '-' && c != '\t') {
            return std::string();
        }
    }
    return IsDigestLength(digits.size()) ? digits : std::string();
}

} // namespace

std::string TypedDigest(const std::string& text) {
    size_t start = text.find_first_not_of(" \t\r\n");
    if (start == std::string::npos) {
        return std::string();
    }
    std::string line = text.substr(start, text.find_first_of("\r\n", start) - start);
    size_t tag = line.find(") = ");
    if (tag != std::string::npos) {
        line = line.substr(tag + 4);
    } else {
        if (!line.empty() && line[0] == '\\') {
            line.erase(0, 1);
        }
        size_t name = line.find("  ");
        name = name == std::string::npos ? line.find(" *") : name;
        line = line.substr(0, name);
    }
    std::string digits = OnlyDigits(line);
    return digits.empty() ? FindDigestInText(text) : digits;
}
