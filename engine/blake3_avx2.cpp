// BLAKE3 (the BLAKE3 paper) over eight chunks at once with AVX2, one chunk per 32-bit lane.
// Built with -mavx2; nothing here runs unless CPUID says so.
#include "engine/blake3_x86.h"

#if DIGESTOR_SHA_X86

#include <immintrin.h>

#include "engine/blake3_lanes.h"

namespace {

struct Avx2Lanes {
    typedef __m256i Vector;
    static constexpr int Lanes = 8;

    static Vector Load(const uint32_t* p) { return _mm256_load_si256(reinterpret_cast<const __m256i*>(p)); }
    static void Store(uint32_t* p, Vector v) { _mm256_store_si256(reinterpret_cast<__m256i*>(p), v); }
    static Vector Set1(uint32_t x) { return _mm256_set1_epi32(int32_t(x)); }
    static Vector Add(Vector a, Vector b) { return _mm256_add_epi32(a, b); }
    static Vector Xor(Vector a, Vector b) { return _mm256_xor_si256(a, b); }
    // Right rotations; by 16 and 8 a byte shuffle within each word (the shuffle works per 128-bit half).
    static Vector Rotate16(Vector x) {
        return _mm256_shuffle_epi8(x, _mm256_setr_epi8(2, 3, 0, 1, 6, 7, 4, 5, 10, 11, 8, 9, 14, 15, 12, 13,
                                                       2, 3, 0, 1, 6, 7, 4, 5, 10, 11, 8, 9, 14, 15, 12, 13));
    }
    static Vector Rotate12(Vector x) {
        return _mm256_or_si256(_mm256_srli_epi32(x, 12), _mm256_slli_epi32(x, 20));
    }
    static Vector Rotate8(Vector x) {
        return _mm256_shuffle_epi8(x, _mm256_setr_epi8(1, 2, 3, 0, 5, 6, 7, 4, 9, 10, 11, 8, 13, 14, 15, 12,
                                                       1, 2, 3, 0, 5, 6, 7, 4, 9, 10, 11, 8, 13, 14, 15, 12));
    }
    static Vector Rotate7(Vector x) {
        return _mm256_or_si256(_mm256_srli_epi32(x, 7), _mm256_slli_epi32(x, 25));
    }

    // Eight words of each of eight lanes' blocks, transposed 8 x 8: pairs of words, then quads, then halves.
    static void LoadMessage(const uint8_t* p, size_t stride, Vector m[16]) {
        for (int q = 0; q < 2; ++q) {
            Vector r[8];
            for (int lane = 0; lane < 8; ++lane)
                r[lane] = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + stride * lane + 32 * q));
            const Vector t0 = _mm256_unpacklo_epi32(r[0], r[1]), t1 = _mm256_unpackhi_epi32(r[0], r[1]);
            const Vector t2 = _mm256_unpacklo_epi32(r[2], r[3]), t3 = _mm256_unpackhi_epi32(r[2], r[3]);
            const Vector t4 = _mm256_unpacklo_epi32(r[4], r[5]), t5 = _mm256_unpackhi_epi32(r[4], r[5]);
            const Vector t6 = _mm256_unpacklo_epi32(r[6], r[7]), t7 = _mm256_unpackhi_epi32(r[6], r[7]);
            const Vector u0 = _mm256_unpacklo_epi64(t0, t2), u1 = _mm256_unpackhi_epi64(t0, t2);
            const Vector u2 = _mm256_unpacklo_epi64(t1, t3), u3 = _mm256_unpackhi_epi64(t1, t3);
            const Vector u4 = _mm256_unpacklo_epi64(t4, t6), u5 = _mm256_unpackhi_epi64(t4, t6);
            const Vector u6 = _mm256_unpacklo_epi64(t5, t7), u7 = _mm256_unpackhi_epi64(t5, t7);
            Vector* w = m + 8 * q;
            w[0] = _mm256_permute2x128_si256(u0, u4, 0x20);
            w[1] = _mm256_permute2x128_si256(u1, u5, 0x20);
            w[2] = _mm256_permute2x128_si256(u2, u6, 0x20);
            w[3] = _mm256_permute2x128_si256(u3, u7, 0x20);
            w[4] = _mm256_permute2x128_si256(u0, u4, 0x31);
            w[5] = _mm256_permute2x128_si256(u1, u5, 0x31);
            w[6] = _mm256_permute2x128_si256(u2, u6, 0x31);
            w[7] = _mm256_permute2x128_si256(u3, u7, 0x31);
        }
    }
};

} // namespace

void Blake3HashChunksAvx2(const uint8_t* chunks, uint64_t counter, uint32_t cvs[8][8]) {
    HashChunkLanes<Avx2Lanes>(chunks, counter, cvs);
}

void Blake3HashParentsAvx2(const uint32_t children[16][8], uint32_t cvs[8][8]) {
    HashParentLanes<Avx2Lanes>(children, cvs);
}

#endif
