// Keccak-f[1600] (FIPS 202 section 3) on 64-bit lanes. Included by engine/sha3.cpp (portable) and
// engine/sha3_bmi.cpp (built for BMI1, whose andn makes chi's ~x & y one instruction); everything here is
// file-local, so neither file's instructions leak into the other.
#pragma once

#include <cstdint>
#include <cstring>

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

// rho's offset as a compile-time constant for lane (X, Y).
template <int X, int Y> struct Lane { static constexpr int Rho = RhoOffset(X, Y); };

// One round from lanes A into lanes E (FIPS 202 3.3, Rnd = iota . chi . pi . rho . theta), a row of
// the result at a time. c holds theta's column parities of A on entry and of E on return.
//   theta: every lane takes the parities of the two columns beside it, d[x] = C[x-1] ^ rot(C[x+1], 1);
//   rho and pi: B[x, y] = rot(A[x', y'] ^ d[x'], r[x', y']) where (x', y') = (x + 3y, x) mod 5 is the
//   lane that pi moves to (x, y);
//   chi: E[x, y] = B[x, y] ^ (~B[x + 1, y] & B[x + 2, y]); iota: E[0, 0] ^= RC.
#define KECCAK_B(A, X, Y)                                                                                    \
    RotateLeft64(A[((X) + 3 * (Y)) % 5 + 5 * (X)] ^ d[((X) + 3 * (Y)) % 5], Lane<((X) + 3 * (Y)) % 5, X>::Rho)
#define KECCAK_ROW(A, E, Y)                                                                                  \
    do {                                                                                                     \
        const uint64_t b0 = KECCAK_B(A, 0, Y), b1 = KECCAK_B(A, 1, Y), b2 = KECCAK_B(A, 2, Y);               \
        const uint64_t b3 = KECCAK_B(A, 3, Y), b4 = KECCAK_B(A, 4, Y);                                       \
        E[5 * (Y) + 0] = b0 ^ (~b1 & b2);                                                                    \
        E[5 * (Y) + 1] = b1 ^ (~b2 & b3);                                                                    \
        E[5 * (Y) + 2] = b2 ^ (~b3 & b4);                                                                    \
        E[5 * (Y) + 3] = b3 ^ (~b4 & b0);                                                                    \
        E[5 * (Y) + 4] = b4 ^ (~b0 & b1);                                                                    \
    } while (0)
#define KECCAK_ROUND(A, E, round)                                                                            \
    do {                                                                                                     \
        const uint64_t d[5] = {c[4] ^ RotateLeft64(c[1], 1), c[0] ^ RotateLeft64(c[2], 1),                   \
                               c[1] ^ RotateLeft64(c[3], 1), c[2] ^ RotateLeft64(c[4], 1),                   \
                               c[3] ^ RotateLeft64(c[0], 1)};                                                \
        KECCAK_ROW(A, E, 0);                                                                                 \
        KECCAK_ROW(A, E, 1);                                                                                 \
        KECCAK_ROW(A, E, 2);                                                                                 \
        KECCAK_ROW(A, E, 3);                                                                                 \
        KECCAK_ROW(A, E, 4);                                                                                 \
        E[0] ^= KeccakRC.rc[round];                                                                          \
        for (int x = 0; x < 5; ++x)                                                                          \
            c[x] = E[x] ^ E[x + 5] ^ E[x + 10] ^ E[x + 15] ^ E[x + 20];                                      \
    } while (0)

// Keccak-f[1600] (FIPS 202 3.3): 24 rounds, two per turn so that the lanes go from a to e and back.
void KeccakF1600(uint64_t state[25]) {
    uint64_t a[25], e[25], c[5];
    std::memcpy(a, state, sizeof a);
    for (int x = 0; x < 5; ++x)
        c[x] = a[x] ^ a[x + 5] ^ a[x + 10] ^ a[x + 15] ^ a[x + 20];
    for (int round = 0; round < 24; round += 2) {
        KECCAK_ROUND(a, e, round);
        KECCAK_ROUND(e, a, round + 1);
    }
    std::memcpy(state, a, sizeof a);
}

#undef KECCAK_B
#undef KECCAK_ROW
#undef KECCAK_ROUND

} // namespace
