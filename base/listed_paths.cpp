#include "base/listed_paths.h"

#include <algorithm>

namespace {

// FNV-1a's 64-bit offset basis and prime.
const uint64_t FnvOffsetBasis = 0xcbf29ce484222325ULL;
const uint64_t FnvPrime = 0x100000001b3ULL;
// The second hash's odd multipliers: the 64-bit golden ratio and MurmurHash3's fmix64 constants.
const uint64_t GoldenRatio = 0x9e3779b97f4a7c15ULL;
const uint64_t MixFirst = 0xff51afd7ed558ccdULL;
const uint64_t MixSecond = 0xc4ceb9fe1a85ec53ULL;

uint64_t RotateLeft(uint64_t value, int bits) { return (value << bits) | (value >> (64 - bits)); }

// MurmurHash3's finalizer: a bijection that spreads every bit over the whole word.
uint64_t Mix(uint64_t value) {
    value ^= value >> 33;
    value *= MixFirst;
    value ^= value >> 33;
    value *= MixSecond;
    value ^= value >> 33;
    return value;
}

} // namespace

ListedPaths::Key ListedPaths::KeyOf(const std::string& fullPath) {
    // FNV-1a beside a multiply-rotate hash of another family, both over the key's bytes as they come.
    uint64_t first = FnvOffsetBasis;
    uint64_t second = GoldenRatio;
    for (const char c : fullPath) {
        const unsigned char byte = static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        first = (first ^ byte) * FnvPrime;
        second = RotateLeft((second + byte) * MixFirst, 29) ^ GoldenRatio;
    }
    const uint64_t length = fullPath.size();
    return Key{Mix(first ^ length), Mix(second + length * GoldenRatio)};
}

void ListedPaths::Reserve(size_t count) { m_listed.reserve(count); }

void ListedPaths::Add(const std::string& fullPath) {
    m_listed.push_back(KeyOf(fullPath));
    m_sorted = false;
}

bool ListedPaths::Insert(const std::string& fullPath) {
    if (!m_sorted) {
        std::sort(m_listed.begin(), m_listed.end());
        m_listed.erase(std::unique(m_listed.begin(), m_listed.end()), m_listed.end());
        m_sorted = true;
    }
    const Key key = KeyOf(fullPath);
    return !std::binary_search(m_listed.begin(), m_listed.end(), key) && m_inserted.insert(key).second;
}
