// BLAKE3 (the BLAKE3 paper) over sixteen chunks at once with AVX-512, one chunk per 32-bit lane.
// Built with -mavx512f -mavx512vl; nothing here runs unless CPUID says so.
#include "engine/blake3_x86.h"

#if DIGESTOR_SHA_X86

#include <immintrin.h>

#include "engine/blake3_lanes.h"

namespace {

struct Avx512Lanes {
    typedef __m512i Vector;
    static constexpr int Lanes = 16;

    static Vector Load(const uint32_t* p) { return _mm512_load_si512(p); }
    static void Store(uint32_t* p, Vector v) { _mm512_store_si512(p, v); }
    static Vector Set1(uint32_t x) { return _mm512_set1_epi32(int32_t(x)); }
    static Vector Add(Vector a, Vector b) { return _mm512_add_epi32(a, b); }
    static Vector Xor(Vector a, Vector b) { return _mm512_xor_si512(a, b); }
    static Vector Rotate16(Vector x) { return _mm512_ror_epi32(x, 16); }
    static Vector Rotate12(Vector x) { return _mm512_ror_epi32(x, 12); }
    static Vector Rotate8(Vector x) { return _mm512_ror_epi32(x, 8); }
    static Vector Rotate7(Vector x) { return _mm512_ror_epi32(x, 7); }

    // The sixteen words of each of sixteen lanes' blocks, transposed 16 x 16: pairs of words, quads, then two
    // rounds of 128-bit lane shuffles.
    static void LoadMessage(const uint8_t* p, size_t stride, Vector m[16]) {
        Vector r[16], a[16], b[16];
        for (int lane = 0; lane < 16; ++lane)
            r[lane] = _mm512_loadu_si512(p + stride * lane);
        for (int k = 0; k < 8; ++k) {
            a[2 * k] = _mm512_unpacklo_epi32(r[2 * k], r[2 * k + 1]);
            a[2 * k + 1] = _mm512_unpackhi_epi32(r[2 * k], r[2 * k + 1]);
        }
        // b[4g + w], 128-bit lane l: word 4l + w of chunks 4g..4g+3.
        for (int g = 0; g < 4; ++g) {
            b[4 * g + 0] = _mm512_unpacklo_epi64(a[4 * g], a[4 * g + 2]);
            b[4 * g + 1] = _mm512_unpackhi_epi64(a[4 * g], a[4 * g + 2]);
            b[4 * g + 2] = _mm512_unpacklo_epi64(a[4 * g + 1], a[4 * g + 3]);
            b[4 * g + 3] = _mm512_unpackhi_epi64(a[4 * g + 1], a[4 * g + 3]);
        }
        for (int w = 0; w < 4; ++w) {
            const Vector c0 = _mm512_shuffle_i32x4(b[w], b[4 + w], 0x88); // lanes 0, 2 of groups 0, 1
            const Vector c1 = _mm512_shuffle_i32x4(b[w], b[4 + w], 0xDD); // lanes 1, 3
            const Vector c2 = _mm512_shuffle_i32x4(b[8 + w], b[12 + w], 0x88);
            const Vector c3 = _mm512_shuffle_i32x4(b[8 + w], b[12 + w], 0xDD);
            m[w] = _mm512_shuffle_i32x4(c0, c2, 0x88);
            m[4 + w] = _mm512_shuffle_i32x4(c1, c3, 0x88);
            m[8 + w] = _mm512_shuffle_i32x4(c0, c2, 0xDD);
            m[12 + w] = _mm512_shuffle_i32x4(c1, c3, 0xDD);
        }
    }
};

} // namespace

void Blake3HashChunksAvx512(const uint8_t* chunks, uint64_t counter, uint32_t cvs[16][8]) {
    HashChunkLanes<Avx512Lanes>(chunks, counter, cvs);
}

void Blake3HashParentsAvx512(const uint32_t children[32][8], uint32_t cvs[16][8]) {
    HashParentLanes<Avx512Lanes>(children, cvs);
}

#endif
