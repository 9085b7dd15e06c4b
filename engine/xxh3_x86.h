// XXH3's block loop with SSE2 and AVX2 (engine/xxh3_sse2.cpp, engine/xxh3_avx2.cpp, sharing
// engine/xxh3_lanes.h): the same accumulate and scramble steps as the portable loop in
// engine/xxh3.cpp, two and four lanes at a time.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/cpu_features.h"

#if DIGESTOR_SHA_X86
// Only for a processor whose CpuVectorLevel() is at least Sse2 (any x86-64) or Avx2.
void Xxh3BlocksSse2(uint64_t acc[8], const uint8_t* blocks, size_t count, const uint8_t* secret);
void Xxh3BlocksAvx2(uint64_t acc[8], const uint8_t* blocks, size_t count, const uint8_t* secret);
#endif
