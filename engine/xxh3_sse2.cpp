// XXH3 block loop with SSE2: two 64-bit lanes per register.
#include "engine/xxh3_x86.h"

#if DIGESTOR_SHA_X86

#include <immintrin.h>

#include "engine/xxh3_lanes.h"

namespace {

struct Sse2Lanes {
    typedef __m128i Vector;
    static constexpr int Count = 4;

    static Vector Load(const void* p) { return _mm_loadu_si128(static_cast<const __m128i*>(p)); }
    static void Store(void* p, Vector v) { _mm_storeu_si128(static_cast<__m128i*>(p), v); }
    static Vector Set1(uint32_t x) { return _mm_set1_epi32(int32_t(x)); }
    static Vector Xor(Vector a, Vector b) { return _mm_xor_si128(a, b); }
    static Vector Add(Vector a, Vector b) { return _mm_add_epi64(a, b); }
    static Vector Multiply32(Vector a, Vector b) { return _mm_mul_epu32(a, b); }
    static Vector HighHalves(Vector v) { return _mm_shuffle_epi32(v, _MM_SHUFFLE(0, 3, 0, 1)); }
    static Vector SwapLanes(Vector v) { return _mm_shuffle_epi32(v, _MM_SHUFFLE(1, 0, 3, 2)); }
    template <int s> static Vector ShiftRight(Vector v) { return _mm_srli_epi64(v, s); }
    template <int s> static Vector ShiftLeft(Vector v) { return _mm_slli_epi64(v, s); }
};

} // namespace

void Xxh3BlocksSse2(uint64_t acc[8], const uint8_t* blocks, size_t count, const uint8_t* secret) {
    Xxh3BlocksIn<Sse2Lanes>(acc, blocks, count, secret);
}

#endif
