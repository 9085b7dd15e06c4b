// XXH3 block loop (xxHash's XXH3 algorithm description) with SSE2: two 64-bit lanes per register.
#include "engine/xxh3_x86.h"

#if DIGESTOR_SHA_X86

#include <immintrin.h>

void Xxh3BlocksSse2(uint64_t acc[8], const uint8_t* blocks, size_t count, const uint8_t* secret) {
    __m128i a[4];
    for (int j = 0; j < 4; ++j)
        a[j] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(acc) + j);
    const __m128i prime32_1 = _mm_set1_epi32(int32_t(0x9E3779B1));
    for (; count != 0; --count, blocks += 1024) {
        // Step 2-1: stripe n with the secret at 8n. Per lane: acc[i] += lo32(v) * hi32(v) with v = data ^
        // secret, and acc[i ^ 1] += data[i] (the data with its two lanes swapped).
        for (int n = 0; n < 16; ++n) {
            const __m128i* stripe = reinterpret_cast<const __m128i*>(blocks + 64 * n);
            const __m128i* key = reinterpret_cast<const __m128i*>(secret + 8 * n);
            for (int j = 0; j < 4; ++j) {
                const __m128i data = _mm_loadu_si128(stripe + j);
                const __m128i v = _mm_xor_si128(data, _mm_loadu_si128(key + j));
                const __m128i product = _mm_mul_epu32(v, _mm_shuffle_epi32(v, _MM_SHUFFLE(0, 3, 0, 1)));
                const __m128i swapped = _mm_shuffle_epi32(data, _MM_SHUFFLE(1, 0, 3, 2));
                a[j] = _mm_add_epi64(a[j], _mm_add_epi64(product, swapped));
            }
        }
        // Step 2-2: acc = (acc ^ acc >> 47 ^ secret[128..192]) * PRIME32_1, the 64 x 32-bit product
        // from two 32 x 32-bit ones.
        const __m128i* key = reinterpret_cast<const __m128i*>(secret + 192 - 64);
        for (int j = 0; j < 4; ++j) {
            __m128i x = _mm_xor_si128(a[j], _mm_srli_epi64(a[j], 47));
            x = _mm_xor_si128(x, _mm_loadu_si128(key + j));
            const __m128i low = _mm_mul_epu32(x, prime32_1);
            const __m128i high = _mm_mul_epu32(_mm_srli_epi64(x, 32), prime32_1);
            a[j] = _mm_add_epi64(low, _mm_slli_epi64(high, 32));
        }
    }
    for (int j = 0; j < 4; ++j)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(acc) + j, a[j]);
}

#endif
