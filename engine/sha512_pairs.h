// SHA-512 compression (FIPS 180-4 6.4.2) with the message schedule of two blocks at once in 256-bit vector
// registers and the rounds in general registers (BMI2's rorx rotates without a copy). Included only by
// engine/sha512_avx2.cpp and engine/sha512_avx512.cpp, each with its own S, the two small sigmas
// (FIPS 180-4 4.12, 4.13) on four words; everything here is file-local, so neither file's instructions
// leak into the other.
#pragma once

#include <immintrin.h>

#include <cstddef>
#include <cstdint>

#include "engine/byte_order.h"
#include "engine/sha_constants.h"

namespace {

// ---------------------------------------------------------------------------------------------------
// The schedule: each register holds two consecutive words W[t], W[t+1] of the first block in its low
// half and the same two of the second block in its high half, so every step makes two words of each.

// W[0..15] of two blocks, byte-reversed (the words are big-endian) into the ring.
inline void LoadPair(const uint8_t* first, const uint8_t* second, __m256i x[8]) {
    const __m256i swap = _mm256_setr_epi8(7, 6, 5, 4, 3, 2, 1, 0, 15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3,
                                          2, 1, 0, 15, 14, 13, 12, 11, 10, 9, 8);
    for (int i = 0; i < 8; ++i) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(first + 16 * i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(second + 16 * i));
        x[i] = _mm256_shuffle_epi8(_mm256_inserti128_si256(_mm256_castsi128_si256(a), b, 1), swap);
    }
}

// Step 1 for t and t + 1: W[t] = s1(W[t-2]) + W[t-7] + s0(W[t-15]) + W[t-16]. With W[t-16], W[t-15] in
// x[j], the pairs W[t-15], W[t-14] and W[t-7], W[t-6] straddle two registers. W + K goes to wk, the first
// block's to wk[0], the second's to wk[1].
#define SHA512_SCHEDULE_PAIR(x, t, j, wk)                                                                    \
    do {                                                                                                     \
        if ((t) >= 16) {                                                                                     \
            const __m256i w15 = _mm256_alignr_epi8(x[((j) + 1) & 7], x[j], 8);                               \
            const __m256i w7 = _mm256_alignr_epi8(x[((j) + 5) & 7], x[((j) + 4) & 7], 8);                    \
            x[j] = _mm256_add_epi64(_mm256_add_epi64(x[j], S::SmallSigma0(w15)),                             \
                                    _mm256_add_epi64(w7, S::SmallSigma1(x[((j) + 7) & 7])));                 \
        }                                                                                                    \
        const __m256i sum = _mm256_add_epi64(x[j], _mm256_broadcastsi128_si256(_mm_load_si128(               \
                                                       reinterpret_cast<const __m128i*>(Sha512K + (t)))));   \
        _mm_store_si128(reinterpret_cast<__m128i*>(wk[0] + (t)), _mm256_castsi256_si128(sum));               \
        _mm_store_si128(reinterpret_cast<__m128i*>(wk[1] + (t)), _mm256_extracti128_si256(sum, 1));          \
    } while (0)

// W + K for t .. t + 15 of both blocks; sixteen words a step, so that the ring's places are fixed. A
// macro rather than a function: the compiler would not inline it into the rounds.
#define SHA512_SCHEDULE_SIXTEEN(x, t, wk)                                                                    \
    do {                                                                                                     \
        SHA512_SCHEDULE_PAIR(x, t, 0, wk);                                                                   \
        SHA512_SCHEDULE_PAIR(x, t + 2, 1, wk);                                                               \
        SHA512_SCHEDULE_PAIR(x, t + 4, 2, wk);                                                               \
        SHA512_SCHEDULE_PAIR(x, t + 6, 3, wk);                                                               \
        SHA512_SCHEDULE_PAIR(x, t + 8, 4, wk);                                                               \
        SHA512_SCHEDULE_PAIR(x, t + 10, 5, wk);                                                              \
        SHA512_SCHEDULE_PAIR(x, t + 12, 6, wk);                                                              \
        SHA512_SCHEDULE_PAIR(x, t + 14, 7, wk);                                                              \
    } while (0)

// ---------------------------------------------------------------------------------------------------
// The rounds, FIPS 180-4 6.4.2 steps 2 to 4, with the variables renamed instead of moved.

inline uint64_t Sigma0(uint64_t x) {
    return RotateRight64(x, 28) ^ RotateRight64(x, 34) ^ RotateRight64(x, 39);
}
inline uint64_t Sigma1(uint64_t x) {
    return RotateRight64(x, 14) ^ RotateRight64(x, 18) ^ RotateRight64(x, 41);
}
inline uint64_t Ch(uint64_t x, uint64_t y, uint64_t z) { return z ^ (x & (y ^ z)); }

// Round t: T1 = h + S1(e) + Ch(e, f, g) + (K[t] + W[t]), T2 = S0(a) + Maj(a, b, c); e = d + T1, a = T1 +
// T2, left in d and h. Maj(a, b, c) is ((a ^ b) & (b ^ c)) ^ b, and this round's a ^ b is the next
// round's b ^ c. (Sums ordered to shorten e's chain measured slower: they cost more instructions.)
#define SHA512_ROUND(a, b, c, d, e, f, g, h, t)                                                              \
    do {                                                                                                     \
        h += wk[t];                                                                                          \
        h += Ch(e, f, g);                                                                                    \
        h += Sigma1(e);                                                                                      \
        d += h;                                                                                              \
        const uint64_t ab = a ^ b;                                                                           \
        h += Sigma0(a);                                                                                      \
        h += (ab & bc) ^ b;                                                                                  \
        bc = ab;                                                                                             \
    } while (0)

#define SHA512_EIGHT_ROUNDS(t) SHA2_EIGHT_ROUNDS(SHA512_ROUND, t)

// The 80 rounds of one block from its scheduled words. With next, the schedule of the next two blocks
// (their first words already in x) runs between the rounds: vector work beside the rounds' scalar chain.
template <class S>
void Rounds(uint64_t state[8], const uint64_t wk[80], __m256i ring[8], uint64_t (*next)[80]) {
    // The ring in locals: through the pointer, every store of W + K could change it, and the compiler
    // would reload it from memory.
    __m256i x[8];
    for (int i = 0; i < 8; ++i)
        x[i] = ring[i];
    uint64_t a = state[0], b = state[1], c = state[2], d = state[3];
    uint64_t e = state[4], f = state[5], g = state[6], h = state[7];
    uint64_t bc = b ^ c;
    // Written out, so that every round's word has a fixed place.
    SHA512_EIGHT_ROUNDS(0);
    if (next)
        SHA512_SCHEDULE_SIXTEEN(x, 0, next);
    SHA512_EIGHT_ROUNDS(8);
    SHA512_EIGHT_ROUNDS(16);
    if (next)
        SHA512_SCHEDULE_SIXTEEN(x, 16, next);
    SHA512_EIGHT_ROUNDS(24);
    SHA512_EIGHT_ROUNDS(32);
    if (next)
        SHA512_SCHEDULE_SIXTEEN(x, 32, next);
    SHA512_EIGHT_ROUNDS(40);
    SHA512_EIGHT_ROUNDS(48);
    if (next)
        SHA512_SCHEDULE_SIXTEEN(x, 48, next);
    SHA512_EIGHT_ROUNDS(56);
    SHA512_EIGHT_ROUNDS(64);
    if (next)
        SHA512_SCHEDULE_SIXTEEN(x, 64, next);
    SHA512_EIGHT_ROUNDS(72);
    AddWorkingVariables(state, a, b, c, d, e, f, g, h);
    for (int i = 0; i < 8; ++i)
        ring[i] = x[i];
}

#undef SHA512_ROUND
#undef SHA512_EIGHT_ROUNDS

// Compresses count consecutive 128-byte blocks, as the portable code does.
template <class S> void Sha512CompressPairs(uint64_t state[8], const uint8_t* blocks, size_t count) {
    if (count == 0)
        return;
    // Blocks go in pairs (a lone last block scheduled beside itself); a pair's schedule is made while the
    // pair before it goes through its rounds, so wk holds two schedules, the current one and the next.
    alignas(32) uint64_t wk[2][2][80];
    __m256i x[8];
    LoadPair(blocks, count >= 2 ? blocks + 128 : blocks, x);
    for (int t = 0; t < 80; t += 16)
        SHA512_SCHEDULE_SIXTEEN(x, t, wk[0]);
    for (int current = 0;; current ^= 1) {
        const size_t inPair = count >= 2 ? 2 : 1;
        const uint8_t* const following = blocks + 128 * inPair;
        const size_t rest = count - inPair;
        if (rest != 0)
            LoadPair(following, rest >= 2 ? following + 128 : following, x);
        Rounds<S>(state, wk[current][0], x, rest != 0 ? wk[current ^ 1] : nullptr);
        if (inPair == 2)
            Rounds<S>(state, wk[current][1], x, nullptr);
        if (rest == 0)
            break;
        blocks = following;
        count = rest;
    }
}

#undef SHA512_SCHEDULE_PAIR
#undef SHA512_SCHEDULE_SIXTEEN

} // namespace
