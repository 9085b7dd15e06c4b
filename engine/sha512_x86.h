// SHA-512 compression with its message schedule in vector registers (engine/sha512_avx2.cpp,
// engine/sha512_avx512.cpp; the shared part in engine/sha512_pairs.h).
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/cpu_features.h"

#if DIGESTOR_SHA_X86
// Compress count consecutive 128-byte blocks into the chaining words, as the portable code does. Only
// for a processor whose CpuVectorLevel() is at least Avx2, or Avx512.
void Sha512CompressAvx2(uint64_t state[8], const uint8_t* blocks, size_t count);
void Sha512CompressAvx512(uint64_t state[8], const uint8_t* blocks, size_t count);
#endif
