// SHA-512 with its message schedule in AVX2 registers, rotating by two shifts.
// Built with -mavx2 -mbmi2; nothing here runs unless CPUID says so.
#include "engine/sha512_x86.h"

#if DIGESTOR_SHA_X86

#include "engine/sha512_pairs.h"

namespace {

struct Avx2Sigmas {
    template <int s> static __m256i RotateRight(__m256i x) {
        return _mm256_or_si256(_mm256_srli_epi64(x, s), _mm256_slli_epi64(x, 64 - s));
    }
    static __m256i SmallSigma0(__m256i x) {
        return _mm256_xor_si256(_mm256_xor_si256(RotateRight<1>(x), RotateRight<8>(x)),
                                _mm256_srli_epi64(x, 7));
    }
    static __m256i SmallSigma1(__m256i x) {
        return _mm256_xor_si256(_mm256_xor_si256(RotateRight<19>(x), RotateRight<61>(x)),
                                _mm256_srli_epi64(x, 6));
    }
};

} // namespace

void Sha512CompressAvx2(uint64_t state[8], const uint8_t* blocks, size_t count) {
    Sha512CompressPairs<Avx2Sigmas>(state, blocks, count);
}

#endif
