#include "base/digest_in_text.h"

#include <ctype.h>

#include <algorithm>
#include <iterator>
#include <vector>

namespace {

// Hex digits of a CRC, MD2-5, SHA-1, SHA-256 and SHA-512 digest.
const size_t DigestLengths[] = {8, 32, 40, 64, 128};
const size_t LongestDigest = 128;

bool IsWordByte(char c) {
    const unsigned char byte = static_cast<unsigned char>(c);
    return isalnum(byte) || c == '_' || byte >= 0x80;
}

bool IsHexWord(const std::string& word) {
    return word.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos;
}

// The longest digest that the words of run, taken from the first word that
// begins one, make.
std::string DigestOfRun(const std::vector<std::string>& run) {
    for (size_t first = 0; first < run.size(); ++first) {
        std::string digits, digest;
        for (size_t i = first; i < run.size() && digits.size() + run[i].size() <= LongestDigest; ++i) {
            digits += run[i];
            if (std::find(std::begin(DigestLengths), std::end(DigestLengths), digits.size()) !=
                std::end(DigestLengths)) {
                digest = digits;
            }
        }
        if (!digest.empty()) {
            return digest;
        }
    }
    return std::string();
}

} // namespace

std::string FindDigestInText(const std::string& text) {
    std::vector<std::string> run; // hex words joined by single spaces
    std::string digest;
    for (size_t end = 0; digest.empty();) {
        size_t begin = end;
        while (begin < text.size() && !IsWordByte(text[begin])) {
            ++begin;
        }
        const bool joined = begin == end + 1 && text[end] == ' ';
        end = begin;
        while (end < text.size() && IsWordByte(text[end])) {
            ++end;
        }
        const std::string word = text.substr(begin, end - begin);
        const bool hex = !word.empty() && IsHexWord(word);
        if (!joined || !hex) {
            digest = DigestOfRun(run);
            run.clear();
        }
        if (begin == text.size()) {
            break;
        }
        if (hex) {
            run.push_back(word);
        }
    }
    for (char& c : digest) {
        c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    }
    return digest;
}
