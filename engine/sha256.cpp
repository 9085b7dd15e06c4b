// SHA-256 secure hash, FIPS 180-4.
#include "engine/sha256.h"

#include <cstring>

#include "engine/block_feed.h"
#include "engine/byte_order.h"
#include "engine/hex_text.h"
#include "engine/sha_constants.h"
#include "engine/sha_x86.h"

namespace {

// FIPS 180-4 5.3.3: initial hash value.
constexpr uint32_t InitialHash[8] = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                     0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};

// The functions of FIPS 180-4 4.1.2; Ch and Maj in equivalent forms with fewer operations.
inline uint32_t Ch(uint32_t x, uint32_t y, uint32_t z) { return z ^ (x & (y ^ z)); }
inline uint32_t Maj(uint32_t x, uint32_t y, uint32_t z) { return (x & y) | (z & (x | y)); }
inline uint32_t Sigma0(uint32_t x) { return RotateRight(x, 2) ^ RotateRight(x, 13) ^ RotateRight(x, 22); }
inline uint32_t Sigma1(uint32_t x) { return RotateRight(x, 6) ^ RotateRight(x, 11) ^ RotateRight(x, 25); }
inline uint32_t SmallSigma0(uint32_t x) { return RotateRight(x, 7) ^ RotateRight(x, 18) ^ (x >> 3); }
inline uint32_t SmallSigma1(uint32_t x) { return RotateRight(x, 17) ^ RotateRight(x, 19) ^ (x >> 10); }

// W[t] of FIPS 180-4 6.2.2 step 1, kept in a ring of sixteen words: W[t] replaces W[t-16].
inline uint32_t Schedule(uint32_t w[16], int t) {
    if (t < 16)
        return w[t];
    return w[t & 15] += SmallSigma1(w[(t - 2) & 15]) + w[(t - 7) & 15] + SmallSigma0(w[(t - 15) & 15]);
}

// Step 3 for round t with the variables renamed instead of moved: T1 = h + S1(e) + Ch(e, f, g) +
// K[t] + W[t] and T2 = S0(a) + Maj(a, b, c); the new e is d + T1, the new a T1 + T2, left in h.
#define SHA256_ROUND(a, b, c, d, e, f, g, h, t)                                                              \
    do {                                                                                                     \
        h += Sigma1(e) + Ch(e, f, g) + Sha256K[t] + Schedule(w, t);                                          \
        d += h;                                                                                              \
        h += Sigma0(a) + Maj(a, b, c);                                                                       \
    } while (0)

#define SHA256_EIGHT_ROUNDS(t) SHA2_EIGHT_ROUNDS(SHA256_ROUND, t)

// FIPS 180-4 6.2.2 for count consecutive 64-byte blocks.
void Compress(uint32_t state[8], const uint8_t* block, size_t count) {
    for (; count != 0; --count, block += 64) {
        uint32_t w[16];
        for (int t = 0; t < 16; ++t)
            w[t] = LoadBE32(block + 4 * t);
        uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
        uint32_t e = state[4], f = state[5], g = state[6], h = state[7];

        for (int t = 0; t < 64; t += 8)
            SHA256_EIGHT_ROUNDS(t);

        AddWorkingVariables(state, a, b, c, d, e, f, g, h);
    }
}

#undef SHA256_ROUND
#undef SHA256_EIGHT_ROUNDS

typedef void Compression(uint32_t state[8], const uint8_t* blocks, size_t count);

Compression* PickCompression() {
#if DIGESTOR_SHA_X86
    if (UseShaExtensions())
        return Chosen(PathUser::Sha256, CodePath::ShaExtensions, Sha256CompressX86);
#endif
    return Chosen(PathUser::Sha256, CodePath::Portable, Compress);
}

} // namespace

CDigestor_SHA256::CDigestor_SHA256() : m_compress(PickCompression()) { Reset(); }

void CDigestor_SHA256::Reset() {
    m_finished = false;
    std::memcpy(m_state, InitialHash, sizeof m_state);
    m_count = 0; // the buffer keeps its bytes: none of them counts
}

void CDigestor_SHA256::Update(const uint8_t* bytes, uint32_t length) {
    if (m_finished || length == 0)
        return;
    FeedBlocks<64>(m_buffer, m_count, bytes, length,
                   [this](const uint8_t* blocks, size_t n) { m_compress(m_state, blocks, n); });
}

void CDigestor_SHA256::Finish() {
    if (m_finished)
        return;

    PadBlocks<64, 8>(m_buffer, m_count,
                     [this](const uint8_t* blocks, size_t n) { m_compress(m_state, blocks, n); });

    for (int i = 0; i < 8; ++i)
        StoreBE32(m_digest + 4 * i, m_state[i]);
    m_finished = true;
}

std::string CDigestor_SHA256::DigestText() const {
    if (!m_finished)
        return std::string();
    return HexText(m_digest, sizeof m_digest);
}
