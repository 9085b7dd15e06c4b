// XXH3 64-bit and 128-bit hashes, seed 0: the XXH3 algorithm description of xxHash (doc/xxhash_spec.md).
#include "engine/xxh3.h"

#include <cstring>

#include "engine/byte_order.h"
#include "engine/cpu_features.h"
#include "engine/hex_text.h"
#include "engine/xxh3_x86.h"

namespace {

// The primes of the description's "XXH3 Algorithm Overview".
constexpr uint64_t Prime32_1 = 0x9E3779B1;
constexpr uint64_t Prime32_2 = 0x85EBCA77;
constexpr uint64_t Prime32_3 = 0xC2B2AE3D;
constexpr uint64_t Prime64_1 = 0x9E3779B185EBCA87;
constexpr uint64_t Prime64_2 = 0xC2B2AE3D27D4EB4F;
constexpr uint64_t Prime64_3 = 0x165667B19E3779F9;
constexpr uint64_t Prime64_4 = 0x85EBCA77C2B2AE63;
constexpr uint64_t Prime64_5 = 0x27D4EB2F165667C5;
constexpr uint64_t PrimeMx1 = 0x165667919E3779F9;
constexpr uint64_t PrimeMx2 = 0x9FB21C651E98DF25;

// The default secret of "Seed and Secret"; always read as little-endian words.
constexpr size_t SecretSize = 192;
alignas(64) constexpr uint8_t DefaultSecret[SecretSize] = {
    0xb8, 0xfe, 0x6c, 0x39, 0x23, 0xa4, 0x4b, 0xbe, 0x7c, 0x01, 0x81, 0x2c, 0xf7, 0x21, 0xad, 0x1c,
    0xde, 0xd4, 0x6d, 0xe9, 0x83, 0x90, 0x97, 0xdb, 0x72, 0x40, 0xa4, 0xa4, 0xb7, 0xb3, 0x67, 0x1f,
    0xcb, 0x79, 0xe6, 0x4e, 0xcc, 0xc0, 0xe5, 0x78, 0x82, 0x5a, 0xd0, 0x7d, 0xcc, 0xff, 0x72, 0x21,
    0xb8, 0x08, 0x46, 0x74, 0xf7, 0x43, 0x24, 0x8e, 0xe0, 0x35, 0x90, 0xe6, 0x81, 0x3a, 0x26, 0x4c,
    0x3c, 0x28, 0x52, 0xbb, 0x91, 0xc3, 0x00, 0xcb, 0x88, 0xd0, 0x65, 0x8b, 0x1b, 0x53, 0x2e, 0xa3,
    0x71, 0x64, 0x48, 0x97, 0xa2, 0x0d, 0xf9, 0x4e, 0x38, 0x19, 0xef, 0x46, 0xa9, 0xde, 0xac, 0xd8,
    0xa8, 0xfa, 0x76, 0x3f, 0xe3, 0x9c, 0x34, 0x3f, 0xf9, 0xdc, 0xbb, 0xc7, 0xc7, 0x0b, 0x4f, 0x1d,
    0x8a, 0x51, 0xe0, 0x4b, 0xcd, 0xb4, 0x59, 0x31, 0xc8, 0x9f, 0x7e, 0xc9, 0xd9, 0x78, 0x73, 0x64,
    0xea, 0xc5, 0xac, 0x83, 0x34, 0xd3, 0xeb, 0xc3, 0xc5, 0x81, 0xa0, 0xff, 0xfa, 0x13, 0x63, 0xeb,
    0x17, 0x0d, 0xdd, 0x51, 0xb7, 0xf0, 0xda, 0x49, 0xd3, 0x16, 0x55, 0x26, 0x29, 0xd4, 0x68, 0x9e,
    0x2b, 0x16, 0xbe, 0x58, 0x7d, 0x47, 0xa1, 0xfc, 0x8f, 0xf8, 0xb8, 0xd1, 0x7a, 0xd0, 0x31, 0xce,
    0x45, 0xcb, 0x3a, 0x8f, 0x95, 0x16, 0x04, 0x28, 0xaf, 0xd7, 0xfb, 0xca, 0xbb, 0x4b, 0x40, 0x7e,
};

constexpr size_t StripesPerBlock = (SecretSize - 64) / 8; // 16
static_assert(StripesPerBlock * CDigestor_XXH3::StripeSize == CDigestor_XXH3::BlockSize, "XXH3 block");

inline uint64_t LoadLE64(const uint8_t* p) { return (uint64_t(LoadLE32(p + 4)) << 32) | LoadLE32(p); }
inline uint64_t Secret64(size_t offset) { return LoadLE64(DefaultSecret + offset); }
inline uint32_t Secret32(size_t offset) { return LoadLE32(DefaultSecret + offset); }
inline uint64_t RotateLeft64(uint64_t x, int s) { return (x << s) | (x >> (64 - s)); }
inline uint32_t ByteSwap32(uint32_t x) {
    return (x >> 24) | ((x >> 8) & 0xFF00) | ((x << 8) & 0xFF0000) | (x << 24);
}
inline uint64_t ByteSwap64(uint64_t x) {
    return (uint64_t(ByteSwap32(uint32_t(x))) << 32) | ByteSwap32(uint32_t(x >> 32));
}

struct U128 {
    uint64_t low, high;
};

// (u128)x * (u128)y from four 32 x 32-bit products, in standard C++.
inline U128 Multiply128(uint64_t x, uint64_t y) {
    const uint64_t xl = uint32_t(x), xh = x >> 32, yl = uint32_t(y), yh = y >> 32;
    const uint64_t ll = xl * yl, lh = xl * yh, hl = xh * yl, hh = xh * yh;
    const uint64_t middle = (ll >> 32) + uint32_t(lh) + uint32_t(hl);
    return {(middle << 32) | uint32_t(ll), hh + (lh >> 32) + (hl >> 32) + (middle >> 32)};
}

inline uint64_t FoldedMultiply(uint64_t x, uint64_t y) {
    const U128 p = Multiply128(x, y);
    return p.low ^ p.high;
}

// "Final Mixing Step".
inline uint64_t Avalanche(uint64_t x) {
    x ^= x >> 37;
    x *= PrimeMx1;
    return x ^ (x >> 32);
}

inline uint64_t AvalancheXxh64(uint64_t x) {
    x ^= x >> 33;
    x *= Prime64_2;
    x ^= x >> 29;
    x *= Prime64_3;
    return x ^ (x >> 32);
}

// ---------------------------------------------------------------------------------------------------
// Small inputs, 0-16 bytes (the seed, 0, left out of every formula).

U128 Hash0To16(const uint8_t* p, size_t n, Xxh3Width width) {
    const bool wide = width == Xxh3Width::Bits128;
    if (n == 0) {
        if (!wide)
            return {AvalancheXxh64(Secret64(56) ^ Secret64(64)), 0};
        return {AvalancheXxh64(Secret64(64) ^ Secret64(72)), AvalancheXxh64(Secret64(80) ^ Secret64(88))};
    }
    if (n <= 3) {
        const uint32_t combined =
            uint32_t(p[n - 1]) | (uint32_t(n) << 8) | (uint32_t(p[0]) << 16) | (uint32_t(p[n >> 1]) << 24);
        const uint64_t low = uint64_t(Secret32(0) ^ Secret32(4)) ^ combined;
        if (!wide)
            return {AvalancheXxh64(low), 0};
        const uint32_t swapped = ByteSwap32(combined);
        const uint64_t high =
            uint64_t(Secret32(8) ^ Secret32(12)) ^ uint32_t((swapped << 13) | (swapped >> 19));
        return {AvalancheXxh64(low), AvalancheXxh64(high)};
    }
    if (n <= 8) {
        const uint64_t first = LoadLE32(p), last = LoadLE32(p + n - 4);
        if (!wide) {
            uint64_t value = (Secret64(8) ^ Secret64(16)) ^ (last | (first << 32));
            value ^= RotateLeft64(value, 49) ^ RotateLeft64(value, 24);
            value *= PrimeMx2;
            value ^= (value >> 35) + n;
            value *= PrimeMx2;
            return {value ^ (value >> 28), 0};
        }
        const uint64_t value = (Secret64(16) ^ Secret64(24)) ^ (first | (last << 32));
        const U128 m = Multiply128(value, Prime64_1 + (uint64_t(n) << 2));
        uint64_t high = m.high + (m.low << 1), low = m.low ^ (high >> 3);
        low ^= low >> 35;
        low *= PrimeMx2;
        low ^= low >> 28;
        return {low, Avalanche(high)};
    }
    const uint64_t first = LoadLE64(p), last = LoadLE64(p + n - 8);
    if (!wide) {
        const uint64_t low = (Secret64(24) ^ Secret64(32)) ^ first;
        const uint64_t high = (Secret64(40) ^ Secret64(48)) ^ last;
        return {Avalanche(n + ByteSwap64(low) + high + FoldedMultiply(low, high)), 0};
    }
    const uint64_t value1 = (Secret64(32) ^ Secret64(40)) ^ first ^ last;
    const uint64_t value2 = (Secret64(48) ^ Secret64(56)) ^ last;
    const U128 m = Multiply128(value1, Prime64_1);
    uint64_t low = m.low + (uint64_t(n - 1) << 54);
    uint64_t high = m.high + ((value2 >> 32) << 32) + uint64_t(uint32_t(value2)) * Prime32_2;
    low ^= ByteSwap64(high);
    const U128 m2 = Multiply128(low, Prime64_2);
    return {Avalanche(m2.low), Avalanche(m2.high + high * Prime64_2)};
}

// ---------------------------------------------------------------------------------------------------
// Medium inputs, 17-240 bytes.

// mixStep: 16 bytes of data with 16 of the secret.
inline uint64_t MixStep(const uint8_t* data, size_t secretOffset) {
    return FoldedMultiply(LoadLE64(data) ^ Secret64(secretOffset),
                          LoadLE64(data + 8) ^ Secret64(secretOffset + 8));
}

// mixTwoChunks, XXH128's pairwise step (its last call's 0 - seed is 0 here too).
inline void MixTwoChunks(uint64_t acc[2], const uint8_t* data1, const uint8_t* data2, size_t secretOffset) {
    acc[0] += MixStep(data1, secretOffset);
    acc[1] += MixStep(data2, secretOffset + 16);
    acc[0] ^= LoadLE64(data2) + LoadLE64(data2 + 8);
    acc[1] ^= LoadLE64(data1) + LoadLE64(data1 + 8);
}

U128 Hash17To240(const uint8_t* p, size_t n, Xxh3Width width) {
    if (width == Xxh3Width::Bits64) {
        uint64_t acc = n * Prime64_1;
        if (n <= 128) {
            for (int i = int((n - 1) >> 5); i >= 0; --i) {
                acc += MixStep(p + 16 * i, 32 * i);
                acc += MixStep(p + n - 16 * i - 16, 32 * i + 16);
            }
        } else {
            const size_t chunks = n >> 4;
            for (size_t i = 0; i < 8; ++i)
                acc += MixStep(p + 16 * i, 16 * i);
            acc = Avalanche(acc);
            for (size_t i = 8; i < chunks; ++i)
                acc += MixStep(p + 16 * i, 16 * (i - 8) + 3);
            acc += MixStep(p + n - 16, 119);
        }
        return {Avalanche(acc), 0};
    }
    uint64_t acc[2] = {n * Prime64_1, 0};
    if (n <= 128) {
        for (int i = int((n - 1) >> 5); i >= 0; --i)
            MixTwoChunks(acc, p + 16 * i, p + n - 16 * i - 16, 32 * i);
    } else {
        const size_t chunks = n >> 5;
        for (size_t i = 0; i < 4; ++i)
            MixTwoChunks(acc, p + 32 * i, p + 32 * i + 16, 32 * i);
        acc[0] = Avalanche(acc[0]);
        acc[1] = Avalanche(acc[1]);
        for (size_t i = 4; i < chunks; ++i)
            MixTwoChunks(acc, p + 32 * i, p + 32 * i + 16, 32 * (i - 4) + 3);
        MixTwoChunks(acc, p + n - 16, p + n - 32, 103); // halves swapped
    }
    const uint64_t low = acc[0] + acc[1];
    const uint64_t high = acc[0] * Prime64_1 + acc[1] * Prime64_4 + n * Prime64_2;
    return {Avalanche(low), 0 - Avalanche(high)};
}

// ---------------------------------------------------------------------------------------------------
// Large inputs, over 240 bytes.

// Step 2-1, accumulate: one 64-byte stripe with the secret at secretOffset.
inline void Accumulate(uint64_t acc[8], const uint8_t* stripe, size_t secretOffset) {
    for (int i = 0; i < 8; ++i) {
        const uint64_t data = LoadLE64(stripe + 8 * i);
        const uint64_t value = data ^ Secret64(secretOffset + 8 * i);
        acc[i ^ 1] += data;
        acc[i] += (value & 0xFFFFFFFF) * (value >> 32);
    }
}

// Step 2-2, scramble, with the secret's last 64 bytes.
inline void Scramble(uint64_t acc[8]) {
    for (int i = 0; i < 8; ++i) {
        acc[i] ^= acc[i] >> 47;
        acc[i] ^= Secret64(SecretSize - 64 + 8 * i);
        acc[i] *= Prime32_1;
    }
}

// A round per block: its 16 stripes accumulated, then the scramble.
void BlocksPortable(uint64_t acc[8], const uint8_t* blocks, size_t count, const uint8_t*) {
    for (; count != 0; --count, blocks += CDigestor_XXH3::BlockSize) {
        for (size_t n = 0; n < StripesPerBlock; ++n)
            Accumulate(acc, blocks + 64 * n, 8 * n);
        Scramble(acc);
    }
}

// Step 4, finalMerge.
uint64_t FinalMerge(const uint64_t acc[8], uint64_t initial, size_t secretOffset) {
    uint64_t result = initial;
    for (int i = 0; i < 4; ++i)
        result += FoldedMultiply(acc[2 * i] ^ Secret64(secretOffset + 16 * i),
                                 acc[2 * i + 1] ^ Secret64(secretOffset + 16 * i + 8));
    return Avalanche(result);
}

constexpr uint64_t InitialAcc[8] = {Prime32_3, Prime64_1, Prime64_2, Prime64_3,
                                    Prime64_4, Prime32_2, Prime64_5, Prime32_1};

Xxh3BlocksFunction ChooseBlocks() {
#if DIGESTOR_SHA_X86
    const VectorLevel level = UseVectorLevel();
    if (level >= VectorLevel::Avx2)
        return Chosen(PathUser::Xxh3, CodePath::Avx2, Xxh3BlocksAvx2);
    if (level >= VectorLevel::Sse2)
        return Chosen(PathUser::Xxh3, CodePath::Sse2, Xxh3BlocksSse2);
#endif
    return Chosen(PathUser::Xxh3, CodePath::Portable, BlocksPortable);
}

void AppendHex64(std::string& text, uint64_t v) {
    uint8_t bigEndian[8];
    StoreBE64(bigEndian, v);
    text += HexText(bigEndian, 8);
}

} // namespace

CDigestor_XXH3::CDigestor_XXH3(Xxh3Width width) : m_width(width), m_blocks(ChooseBlocks()) { Reset(); }

void CDigestor_XXH3::Reset() {
    m_finished = false;
    std::memcpy(m_acc, InitialAcc, sizeof m_acc);
    m_count = 0;
    m_buffered = 0;
}

void CDigestor_XXH3::Update(const uint8_t* bytes, uint32_t length) {
    if (m_finished || length == 0)
        return;
    m_count += length;
    uint8_t* const block = m_buffer + StripeSize;
    if (m_buffered + length <= BlockSize) { // the last block is left to Finish even when full
        std::memcpy(block + m_buffered, bytes, length);
        m_buffered += length;
        return;
    }
    if (m_buffered != 0) { // complete the pending block: more follows it
        const size_t part = BlockSize - m_buffered;
        std::memcpy(block + m_buffered, bytes, part);
        bytes += part;
        length -= uint32_t(part);
        m_blocks(m_acc, block, 1, DefaultSecret);
        std::memcpy(m_buffer, block + BlockSize - StripeSize, StripeSize);
    }
    if (length > BlockSize) { // whole blocks from the caller's bytes, at least one byte left behind
        const size_t blocks = (length - 1) / BlockSize;
        m_blocks(m_acc, bytes, blocks, DefaultSecret);
        std::memcpy(m_buffer, bytes + blocks * BlockSize - StripeSize, StripeSize);
        bytes += blocks * BlockSize;
        length -= uint32_t(blocks * BlockSize);
    }
    std::memcpy(block, bytes, length);
    m_buffered = length;
}

void CDigestor_XXH3::Finish() {
    if (m_finished)
        return;
    const uint8_t* const block = m_buffer + StripeSize;
    U128 result;
    if (m_count <= 16) {
        result = Hash0To16(block, size_t(m_count), m_width);
    } else if (m_count <= 240) {
        result = Hash17To240(block, size_t(m_count), m_width);
    } else {
        // Step 3: the last block's full stripes but its last, then the message's last 64 bytes (they may
        // reach into the stripe kept before the block) with the secret at 192 - 71.
        uint64_t acc[8];
        std::memcpy(acc, m_acc, sizeof acc);
        const size_t fullStripes = (m_buffered - 1) / StripeSize;
        for (size_t n = 0; n < fullStripes; ++n)
            Accumulate(acc, block + StripeSize * n, 8 * n);
        Accumulate(acc, block + m_buffered - StripeSize, SecretSize - 71);
        result.low = FinalMerge(acc, m_count * Prime64_1, 11);
        result.high = FinalMerge(acc, ~(m_count * Prime64_2), SecretSize - 75);
    }
    m_low = result.low;
    m_high = result.high;
    m_finished = true;
}

std::string CDigestor_XXH3::DigestText() const {
    if (!m_finished)
        return std::string();
    // As xxhsum prints them: the 64-bit value big-endian; XXH128 its high half, then its low half.
    std::string text;
    if (m_width == Xxh3Width::Bits128)
        AppendHex64(text, m_high);
    AppendHex64(text, m_low);
    return text;
}
