// SHA3-256 and SHA3-512 secure hashes, FIPS 202 (Keccak-f[1600] with 64-bit lanes).
#include "engine/sha3.h"

#include <cstring>

#include "engine/block_feed.h"
#include "engine/hex_text.h"

namespace {

inline uint64_t RotateLeft64(uint64_t x, int s) { return s == 0 ? x : (x << s) | (x >> (64 - s)); }

inline uint64_t LoadLE64(const uint8_t* p) {
    uint64_t v = 0;
    for (int i = 7; i >= 0; --i)
        v = (v << 8) | p[i];
    return v;
}

// FIPS 202 3.2.5 algorithm 5, rc(t): the output bit of an 8-bit LFSR with polynomial x^8 + x^6 + x^5 +
// x^4 + 1, bit i of the register being R[i].
constexpr bool RoundConstantBit(int t) {
    unsigned r = 1;
    for (int i = 0; i < t % 255; ++i)
        r = ((r << 1) ^ ((r >> 7) * 0x71)) & 0xFF;
    return r & 1;
}

// FIPS 202 3.2.5 algorithm 6: RC for round i has rc(j + 7i) at bit 2^j - 1, j = 0..6.
constexpr uint64_t RoundConstant(int round) {
    uint64_t rc = 0;
    for (int j = 0; j < 7; ++j)
        if (RoundConstantBit(j + 7 * round))
            rc |= uint64_t(1) << ((1 << j) - 1);
    return rc;
}

// The 24 iota constants, derived from the LFSR above at compile time.
struct RoundConstantTable {
    uint64_t rc[24];
    constexpr RoundConstantTable() : rc() {
        for (int i = 0; i < 24; ++i)
            rc[i] = RoundConstant(i);
    }
};
constexpr RoundConstantTable KeccakRC;
static_assert(KeccakRC.rc[0] == 0x0000000000000001 && KeccakRC.rc[1] == 0x0000000000008082 &&
                  KeccakRC.rc[23] == 0x8000000080008008,
              "FIPS 202 round constants");

// FIPS 202 3.2.2 algorithm 2 (rho): lane (x, y) rotates by (t + 1)(t + 2) / 2 where t is its step on the
// walk (1, 0), (y, 2x + 3y); lane (0, 0) stays.
constexpr int RhoOffset(int x, int y) {
    int px = 1, py = 0;
    for (int t = 0; t < 24; ++t) {
        if (px == x && py == y)
            return ((t + 1) * (t + 2) / 2) % 64;
        const int nx = py, ny = (2 * px + 3 * py) % 5;
        px = nx;
        py = ny;
    }
    return 0;
}
static_assert(RhoOffset(1, 0) == 1 && RhoOffset(0, 1) == 36 && RhoOffset(4, 4) == 14, "FIPS 202 rho");

// FIPS 202 3.2.3 (pi): A'[x, y] = A[(x + 3y) mod 5, x], so lane (x, y) moves to (y, 2x + 3y).
constexpr int PiTarget(int x, int y) { return y + 5 * ((2 * x + 3 * y) % 5); }

// Both as compile-time constants for lane (X, Y).
template <int X, int Y> struct Lane {
    static constexpr int Rho = RhoOffset(X, Y);
    static constexpr int Pi = PiTarget(X, Y);
};

// theta (3.2.1): every lane takes the parities of the two columns beside it, d[x] = C[x - 1] ^
// rot(C[x + 1], 1). rho and pi together: b[pi(x, y)] = rot(a[x, y] ^ d[x], r[x, y]).
#define KECCAK_RHO_PI(x, y) b[Lane<x, y>::Pi] = RotateLeft64(a[(x) + 5 * (y)] ^ d[x], Lane<x, y>::Rho)
#define KECCAK_RHO_PI_COLUMN(x)                                                                              \
    do {                                                                                                     \
        KECCAK_RHO_PI(x, 0);                                                                                 \
        KECCAK_RHO_PI(x, 1);                                                                                 \
        KECCAK_RHO_PI(x, 2);                                                                                 \
        KECCAK_RHO_PI(x, 3);                                                                                 \
        KECCAK_RHO_PI(x, 4);                                                                                 \
    } while (0)
// chi (3.2.4) on row y: a[x, y] = b[x, y] ^ (~b[x + 1, y] & b[x + 2, y]).
#define KECCAK_CHI_ROW(y)                                                                                    \
    do {                                                                                                     \
        a[5 * (y) + 0] = b[5 * (y) + 0] ^ (~b[5 * (y) + 1] & b[5 * (y) + 2]);                                \
        a[5 * (y) + 1] = b[5 * (y) + 1] ^ (~b[5 * (y) + 2] & b[5 * (y) + 3]);                                \
        a[5 * (y) + 2] = b[5 * (y) + 2] ^ (~b[5 * (y) + 3] & b[5 * (y) + 4]);                                \
        a[5 * (y) + 3] = b[5 * (y) + 3] ^ (~b[5 * (y) + 4] & b[5 * (y) + 0]);                                \
        a[5 * (y) + 4] = b[5 * (y) + 4] ^ (~b[5 * (y) + 0] & b[5 * (y) + 1]);                                \
    } while (0)

// Keccak-f[1600] (FIPS 202 3.3, 24 rounds of Rnd = iota . chi . pi . rho . theta). The lanes live in
// two local arrays of fixed indices, which the compiler keeps in registers.
void KeccakF1600(uint64_t state[25]) {
    uint64_t a[25], b[25];
    std::memcpy(a, state, sizeof a);
    for (int round = 0; round < 24; ++round) {
        // theta
        uint64_t c[5], d[5];
        c[0] = a[0] ^ a[5] ^ a[10] ^ a[15] ^ a[20];
        c[1] = a[1] ^ a[6] ^ a[11] ^ a[16] ^ a[21];
        c[2] = a[2] ^ a[7] ^ a[12] ^ a[17] ^ a[22];
        c[3] = a[3] ^ a[8] ^ a[13] ^ a[18] ^ a[23];
        c[4] = a[4] ^ a[9] ^ a[14] ^ a[19] ^ a[24];
        d[0] = c[4] ^ RotateLeft64(c[1], 1);
        d[1] = c[0] ^ RotateLeft64(c[2], 1);
        d[2] = c[1] ^ RotateLeft64(c[3], 1);
        d[3] = c[2] ^ RotateLeft64(c[4], 1);
        d[4] = c[3] ^ RotateLeft64(c[0], 1);
        // rho and pi
        KECCAK_RHO_PI_COLUMN(0);
        KECCAK_RHO_PI_COLUMN(1);
        KECCAK_RHO_PI_COLUMN(2);
        KECCAK_RHO_PI_COLUMN(3);
        KECCAK_RHO_PI_COLUMN(4);
        // chi
        KECCAK_CHI_ROW(0);
        KECCAK_CHI_ROW(1);
        KECCAK_CHI_ROW(2);
        KECCAK_CHI_ROW(3);
        KECCAK_CHI_ROW(4);
        // iota
        a[0] ^= KeccakRC.rc[round];
    }
    std::memcpy(state, a, sizeof a);
}

#undef KECCAK_RHO_PI
#undef KECCAK_RHO_PI_COLUMN
#undef KECCAK_CHI_ROW

// Absorbs count blocks of Rate bytes: each block's lanes, little-endian, XORed into the first lanes.
template <size_t Rate> void Absorb(uint64_t state[25], const uint8_t* block, size_t count) {
    for (; count != 0; --count, block += Rate) {
        for (size_t i = 0; i < Rate / 8; ++i)
            state[i] ^= LoadLE64(block + 8 * i);
        KeccakF1600(state);
    }
}

} // namespace

template <size_t DigestBytes> CDigestor_SHA3<DigestBytes>::CDigestor_SHA3() { Reset(); }

template <size_t DigestBytes> void CDigestor_SHA3<DigestBytes>::Reset() {
    m_finished = false;
    std::memset(m_state, 0, sizeof m_state);
    m_count = 0;
}

template <size_t DigestBytes>
void CDigestor_SHA3<DigestBytes>::Update(const uint8_t* bytes, uint32_t length) {
    if (m_finished || length == 0)
        return;
    FeedBlocks<Rate>(m_buffer, m_count, bytes, length,
                     [this](const uint8_t* blocks, size_t n) { Absorb<Rate>(m_state, blocks, n); });
}

template <size_t DigestBytes> void CDigestor_SHA3<DigestBytes>::Finish() {
    if (m_finished)
        return;
    // FIPS 202 6.1 and 5.1: the suffix 01 and pad10*1 meet in the byte 0x06 after the message and the
    // bit 0x80 in the block's last byte (one byte 0x86 when they fall together).
    const size_t index = size_t(m_count % Rate);
    std::memset(m_buffer + index, 0, Rate - index);
    m_buffer[index] = 0x06;
    m_buffer[Rate - 1] |= 0x80;
    Absorb<Rate>(m_state, m_buffer, 1);
    // The digest is shorter than the rate: one squeeze, lanes little-endian.
    for (size_t i = 0; i < DigestBytes; ++i)
        m_digest[i] = uint8_t(m_state[i / 8] >> (8 * (i % 8)));
    m_finished = true;
}

template <size_t DigestBytes> std::string CDigestor_SHA3<DigestBytes>::DigestText() const {
    if (!m_finished)
        return std::string();
    return HexText(m_digest, sizeof m_digest);
}

template class CDigestor_SHA3<32>;
template class CDigestor_SHA3<64>;
