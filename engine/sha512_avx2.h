// SHA-512 compression with its message schedule in AVX2 registers (engine/sha512_avx2.cpp).
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/cpu_features.h"

#if DIGESTOR_SHA_X86
// Compress count consecutive 128-byte blocks into the chaining words, as the portable code does.
// Only for a processor whose CpuVectorLevel() is at least Avx2.
void Sha512CompressAvx2(uint64_t state[8], const uint8_t* blocks, size_t count);
#endif
