// XXH3 block loop (xxHash's XXH3 algorithm description) with AVX2: four 64-bit lanes per register.
// Built with -mavx2; nothing here runs unless CPUID says so.
#include "engine/xxh3_x86.h"

#if DIGESTOR_SHA_X86

#include <immintrin.h>

void Xxh3BlocksAvx2(uint64_t acc[8], const uint8_t* blocks, size_t count, const uint8_t* secret) {
    __m256i a[2];
    for (int j = 0; j < 2; ++j)
        a[j] = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(acc) + j);
    const __m256i prime32_1 = _mm256_set1_epi32(int32_t(0x9E3779B1));
    for (; count != 0; --count, blocks += 1024) {
        // Step 2-1, as in the SSE2 loop: the shuffles stay within 128-bit halves, so the lane swap is
        // the same.
        for (int n = 0; n < 16; ++n) {
            const __m256i* stripe = reinterpret_cast<const __m256i*>(blocks + 64 * n);
            const __m256i* key = reinterpret_cast<const __m256i*>(secret + 8 * n);
            for (int j = 0; j < 2; ++j) {
                const __m256i data = _mm256_loadu_si256(stripe + j);
                const __m256i v = _mm256_xor_si256(data, _mm256_loadu_si256(key + j));
                const __m256i product = _mm256_mul_epu32(v, _mm256_shuffle_epi32(v, _MM_SHUFFLE(0, 3, 0, 1)));
                const __m256i swapped = _mm256_shuffle_epi32(data, _MM_SHUFFLE(1, 0, 3, 2));
                a[j] = _mm256_add_epi64(a[j], _mm256_add_epi64(product, swapped));
            }
        }
        // Step 2-2 with the secret's last 64 bytes.
        const __m256i* key = reinterpret_cast<const __m256i*>(secret + 192 - 64);
        for (int j = 0; j < 2; ++j) {
            __m256i x = _mm256_xor_si256(a[j], _mm256_srli_epi64(a[j], 47));
            x = _mm256_xor_si256(x, _mm256_loadu_si256(key + j));
            const __m256i low = _mm256_mul_epu32(x, prime32_1);
            const __m256i high = _mm256_mul_epu32(_mm256_srli_epi64(x, 32), prime32_1);
            a[j] = _mm256_add_epi64(low, _mm256_slli_epi64(high, 32));
        }
    }
    for (int j = 0; j < 2; ++j)
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(acc) + j, a[j]);
}

#endif
