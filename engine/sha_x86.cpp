// SHA-1 and SHA-256 compression (FIPS 180-4) with the x86 SHA extensions and SSE4.1.
// The one engine file built with -msha -msse4.1; nothing here runs unless CPUID says so.
#include "engine/sha_x86.h"

#if DIGESTOR_SHA_X86

#include <immintrin.h>

#include "engine/sha_constants.h"

namespace {

inline __m128i Load(const void* p) { return _mm_loadu_si128(static_cast<const __m128i*>(p)); }
inline void Store(void* p, __m128i v) { _mm_storeu_si128(static_cast<__m128i*>(p), v); }

// ---------------------------------------------------------------------------------------------------
// SHA-1. A..D live in one register with A in the top lane, E alone in the top lane of another; the
// message words are loaded in the same order, W[t] on top of W[t..t+3].

// W[t..t+3] from W[t-16..t-1], FIPS 180-4 6.1.2 step 1: msg1 and the XOR give
// W[t-16] ^ W[t-14] ^ W[t-8]; msg2 adds W[t-3] (a new word for the last lane) and rotates by one.
inline __m128i Sha1Schedule(__m128i w16, __m128i w12, __m128i w8, __m128i w4) {
    return _mm_sha1msg2_epu32(_mm_xor_si128(_mm_sha1msg1_epu32(w16, w12), w8), w4);
}

// Four rounds of function group f (0 Ch, 1 Parity, 2 Maj, 3 Parity, each with its K built in); ew is
// E plus the four message words. prev keeps A..D from before them: its A, rotated by 30, is the E of
// the next four rounds, which sha1nexte adds to their words.
#define SHA1_ROUNDS4(f, ew)                                                                                  \
    do {                                                                                                     \
        const __m128i ew4 = (ew);                                                                            \
        prev = abcd;                                                                                         \
        abcd = _mm_sha1rnds4_epu32(abcd, ew4, f);                                                            \
    } while (0)

// Four rounds on four new message words in w (w16 = W[t-16..t-13], ..., w4 = W[t-4..t-1]).
#define SHA1_NEXT4(f, w16, w12, w8, w4)                                                                      \
    do {                                                                                                     \
        w16 = Sha1Schedule(w16, w12, w8, w4);                                                                \
        SHA1_ROUNDS4(f, _mm_sha1nexte_epu32(prev, w16));                                                     \
    } while (0)

// ---------------------------------------------------------------------------------------------------
// SHA-256. sha256rnds2 keeps the working variables as ABEF and CDGH (A and C in the top lanes); the
// message words are loaded with W[t] in the bottom lane, as the round instruction takes them.

// W[t..t+3] from W[t-16..t-1], FIPS 180-4 6.2.2 step 1: msg1 gives W[t-16] + s0(W[t-15]), the
// aligned pair adds W[t-7], msg2 adds s1(W[t-2]) (for the upper lanes: of the words just made).
inline __m128i Sha256Schedule(__m128i w16, __m128i w12, __m128i w8, __m128i w4) {
    return _mm_sha256msg2_epu32(_mm_add_epi32(_mm_sha256msg1_epu32(w16, w12), _mm_alignr_epi8(w4, w8, 4)),
                                w4);
}

// Rounds t..t+3: two rounds per sha256rnds2, which takes W + K of its rounds in the bottom lanes. After
// two rounds the old A, B, E, F are the new C, D, G, H, so the two registers swap roles and swap back.
#define SHA256_ROUNDS4(w, t)                                                                                 \
    do {                                                                                                     \
        const __m128i wk = _mm_add_epi32(w, Load(Sha256K + (t)));                                            \
        cdgh = _mm_sha256rnds2_epu32(cdgh, abef, wk);                                                        \
        abef = _mm_sha256rnds2_epu32(abef, cdgh, _mm_shuffle_epi32(wk, 0x0E));                               \
    } while (0)

#define SHA256_NEXT4(t, w16, w12, w8, w4)                                                                    \
    do {                                                                                                     \
        w16 = Sha256Schedule(w16, w12, w8, w4);                                                              \
        SHA256_ROUNDS4(w16, t);                                                                              \
    } while (0)

} // namespace

void Sha1CompressX86(uint32_t state[5], const uint8_t* block, size_t count) {
    const __m128i reverse = _mm_set_epi64x(0x0001020304050607, 0x08090a0b0c0d0e0f); // big-endian, W[t] on top
    __m128i abcd = _mm_shuffle_epi32(Load(state), 0x1B);
    __m128i e = _mm_set_epi32(int(state[4]), 0, 0, 0);
    __m128i prev;
    for (; count != 0; --count, block += 64) {
        const __m128i abcdIn = abcd, eIn = e;
        __m128i w0 = _mm_shuffle_epi8(Load(block), reverse);
        __m128i w1 = _mm_shuffle_epi8(Load(block + 16), reverse);
        __m128i w2 = _mm_shuffle_epi8(Load(block + 32), reverse);
        __m128i w3 = _mm_shuffle_epi8(Load(block + 48), reverse);

        // Rounds 0-19: Ch
        SHA1_ROUNDS4(0, _mm_add_epi32(e, w0));
        SHA1_ROUNDS4(0, _mm_sha1nexte_epu32(prev, w1));
        SHA1_ROUNDS4(0, _mm_sha1nexte_epu32(prev, w2));
        SHA1_ROUNDS4(0, _mm_sha1nexte_epu32(prev, w3));
        SHA1_NEXT4(0, w0, w1, w2, w3);
        // Rounds 20-39: Parity
        SHA1_NEXT4(1, w1, w2, w3, w0);
        SHA1_NEXT4(1, w2, w3, w0, w1);
        SHA1_NEXT4(1, w3, w0, w1, w2);
        SHA1_NEXT4(1, w0, w1, w2, w3);
        SHA1_NEXT4(1, w1, w2, w3, w0);
        // Rounds 40-59: Maj
        SHA1_NEXT4(2, w2, w3, w0, w1);
        SHA1_NEXT4(2, w3, w0, w1, w2);
        SHA1_NEXT4(2, w0, w1, w2, w3);
        SHA1_NEXT4(2, w1, w2, w3, w0);
        SHA1_NEXT4(2, w2, w3, w0, w1);
        // Rounds 60-79: Parity
        SHA1_NEXT4(3, w3, w0, w1, w2);
        SHA1_NEXT4(3, w0, w1, w2, w3);
        SHA1_NEXT4(3, w1, w2, w3, w0);
        SHA1_NEXT4(3, w2, w3, w0, w1);
        SHA1_NEXT4(3, w3, w0, w1, w2);

        // Step 4: E after round 79 is A from four rounds before, rotated; add the chaining words.
        e = _mm_sha1nexte_epu32(prev, eIn);
        abcd = _mm_add_epi32(abcd, abcdIn);
    }
    Store(state, _mm_shuffle_epi32(abcd, 0x1B));
    state[4] = uint32_t(_mm_extract_epi32(e, 3));
}

void Sha256CompressX86(uint32_t state[8], const uint8_t* block, size_t count) {
    const __m128i swap = _mm_set_epi64x(0x0c0d0e0f08090a0b, 0x0405060700010203); // big-endian words
    const __m128i badc = _mm_shuffle_epi32(Load(state), 0xB1);                   // lanes b a d c
    const __m128i hgfe = _mm_shuffle_epi32(Load(state + 4), 0x1B);               // lanes h g f e
    __m128i abef = _mm_alignr_epi8(badc, hgfe, 8);                               // lanes f e b a
    __m128i cdgh = _mm_blend_epi16(hgfe, badc, 0xF0);                            // lanes h g d c
    for (; count != 0; --count, block += 64) {
        const __m128i abefIn = abef, cdghIn = cdgh;
        __m128i w0 = _mm_shuffle_epi8(Load(block), swap);
        __m128i w1 = _mm_shuffle_epi8(Load(block + 16), swap);
        __m128i w2 = _mm_shuffle_epi8(Load(block + 32), swap);
        __m128i w3 = _mm_shuffle_epi8(Load(block + 48), swap);

        SHA256_ROUNDS4(w0, 0);
        SHA256_ROUNDS4(w1, 4);
        SHA256_ROUNDS4(w2, 8);
        SHA256_ROUNDS4(w3, 12);
        SHA256_NEXT4(16, w0, w1, w2, w3);
        SHA256_NEXT4(20, w1, w2, w3, w0);
        SHA256_NEXT4(24, w2, w3, w0, w1);
        SHA256_NEXT4(28, w3, w0, w1, w2);
        SHA256_NEXT4(32, w0, w1, w2, w3);
        SHA256_NEXT4(36, w1, w2, w3, w0);
        SHA256_NEXT4(40, w2, w3, w0, w1);
        SHA256_NEXT4(44, w3, w0, w1, w2);
        SHA256_NEXT4(48, w0, w1, w2, w3);
        SHA256_NEXT4(52, w1, w2, w3, w0);
        SHA256_NEXT4(56, w2, w3, w0, w1);
        SHA256_NEXT4(60, w3, w0, w1, w2);

        abef = _mm_add_epi32(abef, abefIn);
        cdgh = _mm_add_epi32(cdgh, cdghIn);
    }
    const __m128i abef2 = _mm_shuffle_epi32(abef, 0x1B); // lanes a b e f
    const __m128i ghcd = _mm_shuffle_epi32(cdgh, 0xB1);  // lanes g h c d
    Store(state, _mm_blend_epi16(abef2, ghcd, 0xF0));    // a b c d
    Store(state + 4, _mm_alignr_epi8(ghcd, abef2, 8));   // e f g h
}

#undef SHA1_ROUNDS4
#undef SHA1_NEXT4
#undef SHA256_ROUNDS4
#undef SHA256_NEXT4

#endif // DIGESTOR_SHA_X86
