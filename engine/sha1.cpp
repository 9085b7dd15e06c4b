// SHA-1 secure hash, FIPS 180-4.
#include "engine/sha1.h"

#include <cstring>

#include "engine/block_feed.h"
#include "engine/byte_order.h"
#include "engine/hex_text.h"
#include "engine/sha_x86.h"

namespace {

// FIPS 180-4 4.2.1: one constant for each group of twenty rounds.
constexpr uint32_t K[4] = {0x5a827999, 0x6ed9eba1, 0x8f1bbcdc, 0xca62c1d6};

// FIPS 180-4 5.3.1: initial hash value.
constexpr uint32_t InitialHash[5] = {0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476, 0xc3d2e1f0};

// The functions of FIPS 180-4 4.1.1; Ch and Maj in equivalent forms with fewer operations.
inline uint32_t Ch(uint32_t x, uint32_t y, uint32_t z) { return z ^ (x & (y ^ z)); }
inline uint32_t Parity(uint32_t x, uint32_t y, uint32_t z) { return x ^ y ^ z; }
inline uint32_t Maj(uint32_t x, uint32_t y, uint32_t z) { return (x & y) | (z & (x | y)); }

// W[t] of FIPS 180-4 6.1.2 step 1, kept in a ring of sixteen words: W[t] replaces W[t-16].
inline uint32_t Schedule(uint32_t w[16], int t) {
    if (t < 16)
        return w[t];
    return w[t & 15] = RotateLeft(w[(t - 3) & 15] ^ w[(t - 8) & 15] ^ w[(t - 14) & 15] ^ w[t & 15], 1);
}

// Step 3 for round t with the variables renamed instead of moved:
// T = ROTL5(a) + f(b, c, d) + e + K + W[t] lands in e, and b becomes ROTL30(b).
#define SHA1_ROUND(f, k, a, b, c, d, e, t)                                                                   \
    do {                                                                                                     \
        e += RotateLeft(a, 5) + f(b, c, d) + (k) + Schedule(w, t);                                           \
        b = RotateLeft(b, 30);                                                                               \
    } while (0)

// Five rounds bring the names back to where they started.
#define SHA1_FIVE_ROUNDS(f, k, t)                                                                            \
    do {                                                                                                     \
        SHA1_ROUND(f, k, a, b, c, d, e, t);                                                                  \
        SHA1_ROUND(f, k, e, a, b, c, d, t + 1);                                                              \
        SHA1_ROUND(f, k, d, e, a, b, c, t + 2);                                                              \
        SHA1_ROUND(f, k, c, d, e, a, b, t + 3);                                                              \
        SHA1_ROUND(f, k, b, c, d, e, a, t + 4);                                                              \
    } while (0)

// FIPS 180-4 6.1.2 for count consecutive 64-byte blocks.
void Compress(uint32_t state[5], const uint8_t* block, size_t count) {
    for (; count != 0; --count, block += 64) {
        uint32_t w[16];
        for (int t = 0; t < 16; ++t)
            w[t] = LoadBE32(block + 4 * t);
        uint32_t a = state[0], b = state[1], c = state[2], d = state[3], e = state[4];

        for (int t = 0; t < 20; t += 5)
            SHA1_FIVE_ROUNDS(Ch, K[0], t);
        for (int t = 20; t < 40; t += 5)
            SHA1_FIVE_ROUNDS(Parity, K[1], t);
        for (int t = 40; t < 60; t += 5)
            SHA1_FIVE_ROUNDS(Maj, K[2], t);
        for (int t = 60; t < 80; t += 5)
            SHA1_FIVE_ROUNDS(Parity, K[3], t);

        state[0] += a;
        state[1] += b;
        state[2] += c;
        state[3] += d;
        state[4] += e;
    }
}

#undef SHA1_ROUND
#undef SHA1_FIVE_ROUNDS

typedef void Compression(uint32_t state[5], const uint8_t* blocks, size_t count);

Compression* PickCompression() {
#if DIGESTOR_SHA_X86
    if (UseShaExtensions())
        return Chosen(PathUser::Sha1, CodePath::ShaExtensions, Sha1CompressX86);
#endif
    return Chosen(PathUser::Sha1, CodePath::Portable, Compress);
}

} // namespace

CDigestor_SHA1::CDigestor_SHA1() : m_compress(PickCompression()) { Reset(); }

void CDigestor_SHA1::Reset() {
    m_finished = false;
    std::memcpy(m_state, InitialHash, sizeof m_state);
    m_count = 0; // the buffer keeps its bytes: none of them counts
}

void CDigestor_SHA1::Update(const uint8_t* bytes, uint32_t length) {
    if (m_finished || length == 0)
        return;
    FeedBlocks<64>(m_buffer, m_count, bytes, length,
                   [this](const uint8_t* blocks, size_t n) { m_compress(m_state, blocks, n); });
}

void CDigestor_SHA1::Finish() {
    if (m_finished)
        return;

    PadBlocks<64, 8>(m_buffer, m_count,
                     [this](const uint8_t* blocks, size_t n) { m_compress(m_state, blocks, n); });

    for (int i = 0; i < 5; ++i)
        StoreBE32(m_digest + 4 * i, m_state[i]);
    m_finished = true;
}

std::string CDigestor_SHA1::DigestText() const {
    if (!m_finished)
        return std::string();
    return HexText(m_digest, sizeof m_digest);
}
