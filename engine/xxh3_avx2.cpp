// XXH3 block loop with AVX2: four 64-bit lanes per register.
// Built with -mavx2; nothing here runs unless CPUID says so.
#include "engine/xxh3_x86.h"

#if DIGESTOR_SHA_X86

#include <immintrin.h>

#include "engine/xxh3_lanes.h"

namespace {

struct Avx2Lanes {
    typedef __m256i Vector;
    static constexpr int Count = 2;

    static Vector Load(const void* p) { return _mm256_loadu_si256(static_cast<const __m256i*>(p)); }
    static void Store(void* p, Vector v) { _mm256_storeu_si256(static_cast<__m256i*>(p), v); }
    static Vector Set1(uint32_t x) { return _mm256_set1_epi32(int32_t(x)); }
    static Vector Xor(Vector a, Vector b) { return _mm256_xor_si256(a, b); }
    static Vector Add(Vector a, Vector b) { return _mm256_add_epi64(a, b); }
    static Vector Multiply32(Vector a, Vector b) { return _mm256_mul_epu32(a, b); }
    static Vector HighHalves(Vector v) { return _mm256_shuffle_epi32(v, _MM_SHUFFLE(0, 3, 0, 1)); }
    static Vector SwapLanes(Vector v) { return _mm256_shuffle_epi32(v, _MM_SHUFFLE(1, 0, 3, 2)); }
    template <int s> static Vector ShiftRight(Vector v) { return _mm256_srli_epi64(v, s); }
    template <int s> static Vector ShiftLeft(Vector v) { return _mm256_slli_epi64(v, s); }
};

} // namespace

void Xxh3BlocksAvx2(uint64_t acc[8], const uint8_t* blocks, size_t count, const uint8_t* secret) {
    Xxh3BlocksIn<Avx2Lanes>(acc, blocks, count, secret);
}

#endif
