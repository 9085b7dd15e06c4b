// SHA-512 secure hash, FIPS 180-4.
#include "engine/sha512.h"

#include <cstring>

#include "engine/block_feed.h"
#include "engine/byte_order.h"
#include "engine/cpu_features.h"
#include "engine/hex_text.h"
#include "engine/sha512_x86.h"
#include "engine/sha_constants.h"

namespace {

// FIPS 180-4 5.3.5: initial hash value.
constexpr uint64_t InitialHash[8] = {0x6a09e667f3bcc908, 0xbb67ae8584caa73b, 0x3c6ef372fe94f82b,
                                     0xa54ff53a5f1d36f1, 0x510e527fade682d1, 0x9b05688c2b3e6c1f,
                                     0x1f83d9abfb41bd6b, 0x5be0cd19137e2179};

// The functions of FIPS 180-4 4.1.3; Ch and Maj in equivalent forms with fewer operations.
inline uint64_t Ch(uint64_t x, uint64_t y, uint64_t z) { return z ^ (x & (y ^ z)); }
inline uint64_t Maj(uint64_t x, uint64_t y, uint64_t z) { return (x & y) | (z & (x | y)); }
inline uint64_t Sigma0(uint64_t x) {
    return RotateRight64(x, 28) ^ RotateRight64(x, 34) ^ RotateRight64(x, 39);
}
inline uint64_t Sigma1(uint64_t x) {
    return RotateRight64(x, 14) ^ RotateRight64(x, 18) ^ RotateRight64(x, 41);
}
inline uint64_t SmallSigma0(uint64_t x) { return RotateRight64(x, 1) ^ RotateRight64(x, 8) ^ (x >> 7); }
inline uint64_t SmallSigma1(uint64_t x) { return RotateRight64(x, 19) ^ RotateRight64(x, 61) ^ (x >> 6); }

// W[t] of FIPS 180-4 6.4.2 step 1, kept in a ring of sixteen words: W[t] replaces W[t-16].
inline uint64_t Schedule(uint64_t w[16], int t) {
    if (t < 16)
        return w[t];
    return w[t & 15] += SmallSigma1(w[(t - 2) & 15]) + w[(t - 7) & 15] + SmallSigma0(w[(t - 15) & 15]);
}

// Step 3 for round t with the variables renamed instead of moved: T1 = h + S1(e) + Ch(e, f, g) +
// K[t] + W[t] and T2 = S0(a) + Maj(a, b, c); the new e is d + T1, the new a T1 + T2, left in h.
#define SHA512_ROUND(a, b, c, d, e, f, g, h, t)                                                              \
    do {                                                                                                     \
        h += Sigma1(e) + Ch(e, f, g) + Sha512K[t] + Schedule(w, t);                                          \
        d += h;                                                                                              \
        h += Sigma0(a) + Maj(a, b, c);                                                                       \
    } while (0)

#define SHA512_EIGHT_ROUNDS(t) SHA2_EIGHT_ROUNDS(SHA512_ROUND, t)

// FIPS 180-4 6.4.2 for count consecutive 128-byte blocks. The x86 paths (engine/sha512_pairs.h) keep
// these rounds and moves the message schedule into vector registers.
void CompressPortable(uint64_t state[8], const uint8_t* block, size_t count) {
    for (; count != 0; --count, block += 128) {
        uint64_t w[16];
        for (int t = 0; t < 16; ++t)
            w[t] = LoadBE64(block + 8 * t);
        uint64_t a = state[0], b = state[1], c = state[2], d = state[3];
        uint64_t e = state[4], f = state[5], g = state[6], h = state[7];

        for (int t = 0; t < 80; t += 8)
            SHA512_EIGHT_ROUNDS(t);

        AddWorkingVariables(state, a, b, c, d, e, f, g, h);
    }
}

#undef SHA512_ROUND
#undef SHA512_EIGHT_ROUNDS

Sha512CompressFunction ChooseCompress() {
#if DIGESTOR_SHA_X86
    if (UseSha512Avx2())
        return UseVectorLevel() >= VectorLevel::Avx512
                   ? Chosen(PathUser::Sha512, CodePath::Avx512, Sha512CompressAvx512)
                   : Chosen(PathUser::Sha512, CodePath::Avx2, Sha512CompressAvx2);
#endif
    return Chosen(PathUser::Sha512, CodePath::Portable, CompressPortable);
}

} // namespace

CDigestor_SHA512::CDigestor_SHA512() : m_compress(ChooseCompress()) { Reset(); }

void CDigestor_SHA512::Reset() {
    m_finished = false;
    std::memcpy(m_state, InitialHash, sizeof m_state);
    m_count = 0; // the buffer keeps its bytes: none of them counts
}

void CDigestor_SHA512::Update(const uint8_t* bytes, uint32_t length) {
    if (m_finished || length == 0)
        return;
    FeedBlocks<128>(m_buffer, m_count, bytes, length,
                    [this](const uint8_t* blocks, size_t n) { m_compress(m_state, blocks, n); });
}

void CDigestor_SHA512::Finish() {
    if (m_finished)
        return;

    PadBlocks<128, 16>(m_buffer, m_count,
                       [this](const uint8_t* blocks, size_t n) { m_compress(m_state, blocks, n); });

    for (int i = 0; i < 8; ++i)
        StoreBE64(m_digest + 8 * i, m_state[i]);
    m_finished = true;
}

std::string CDigestor_SHA512::DigestText() const {
    if (!m_finished)
        return std::string();
    return HexText(m_digest, sizeof m_digest);
}
