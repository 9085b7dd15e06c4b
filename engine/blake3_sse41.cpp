// BLAKE3 (the BLAKE3 paper) over four chunks at once with SSE4.1, one chunk per 32-bit lane.
// Built with -msse4.1; nothing here runs unless CPUID says so.
#include "engine/blake3_x86.h"

#if DIGESTOR_SHA_X86

#include <immintrin.h>

#include "engine/blake3_lanes.h"

namespace {

struct Sse41Lanes {
    typedef __m128i Vector;
    static constexpr int Lanes = 4;

    static Vector Load(const uint32_t* p) { return _mm_load_si128(reinterpret_cast<const __m128i*>(p)); }
    static void Store(uint32_t* p, Vector v) { _mm_store_si128(reinterpret_cast<__m128i*>(p), v); }
    static Vector Set1(uint32_t x) { return _mm_set1_epi32(int32_t(x)); }
    static Vector Add(Vector a, Vector b) { return _mm_add_epi32(a, b); }
    static Vector Xor(Vector a, Vector b) { return _mm_xor_si128(a, b); }
    // Right rotations; by 16 and 8 a byte shuffle within each word.
    static Vector Rotate16(Vector x) {
        return _mm_shuffle_epi8(x, _mm_setr_epi8(2, 3, 0, 1, 6, 7, 4, 5, 10, 11, 8, 9, 14, 15, 12, 13));
    }
    static Vector Rotate12(Vector x) { return _mm_or_si128(_mm_srli_epi32(x, 12), _mm_slli_epi32(x, 20)); }
    static Vector Rotate8(Vector x) {
        return _mm_shuffle_epi8(x, _mm_setr_epi8(1, 2, 3, 0, 5, 6, 7, 4, 9, 10, 11, 8, 13, 14, 15, 12));
    }
    static Vector Rotate7(Vector x) { return _mm_or_si128(_mm_srli_epi32(x, 7), _mm_slli_epi32(x, 25)); }

    // Four words of each lane's block, transposed 4 x 4 so that each register holds one word of all four.
    static void LoadMessage(const uint8_t* p, size_t stride, Vector m[16]) {
        for (int q = 0; q < 4; ++q) {
            const Vector r0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * q));
            const Vector r1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + stride + 16 * q));
            const Vector r2 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 2 * stride + 16 * q));
            const Vector r3 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 3 * stride + 16 * q));
            const Vector t0 = _mm_unpacklo_epi32(r0, r1), t1 = _mm_unpacklo_epi32(r2, r3);
            const Vector t2 = _mm_unpackhi_epi32(r0, r1), t3 = _mm_unpackhi_epi32(r2, r3);
            m[4 * q + 0] = _mm_unpacklo_epi64(t0, t1);
            m[4 * q + 1] = _mm_unpackhi_epi64(t0, t1);
            m[4 * q + 2] = _mm_unpacklo_epi64(t2, t3);
            m[4 * q + 3] = _mm_unpackhi_epi64(t2, t3);
        }
    }
};

} // namespace

void Blake3HashChunksSse41(const uint8_t* chunks, uint64_t counter, uint32_t cvs[4][8]) {
    HashChunkLanes<Sse41Lanes>(chunks, counter, cvs);
}

void Blake3HashParentsSse41(const uint32_t children[8][8], uint32_t cvs[4][8]) {
    HashParentLanes<Sse41Lanes>(children, cvs);
}

#endif
