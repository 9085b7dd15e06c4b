// SHA-512 with its message schedule in 256-bit registers of AVX-512 VL: one instruction a rotation and
// one for the three-way exclusive or, and sixteen more registers, so the ring and its sums stay in them.
// Built with -mavx2 -mbmi2 -mavx512f -mavx512vl; nothing here runs unless CPUID says so.
#include "engine/sha512_x86.h"

#if DIGESTOR_SHA_X86

#include "engine/sha512_pairs.h"

namespace {

// 0x96: the truth table of a ^ b ^ c.
const int ExclusiveOrOfThree = 0x96;

struct Avx512Sigmas {
    static __m256i SmallSigma0(__m256i x) {
        return _mm256_ternarylogic_epi64(_mm256_ror_epi64(x, 1), _mm256_ror_epi64(x, 8),
                                         _mm256_srli_epi64(x, 7), ExclusiveOrOfThree);
    }
    static __m256i SmallSigma1(__m256i x) {
        return _mm256_ternarylogic_epi64(_mm256_ror_epi64(x, 19), _mm256_ror_epi64(x, 61),
                                         _mm256_srli_epi64(x, 6), ExclusiveOrOfThree);
    }
};

} // namespace

void Sha512CompressAvx512(uint64_t state[8], const uint8_t* blocks, size_t count) {
    Sha512CompressPairs<Avx512Sigmas>(state, blocks, count);
}

#endif
