// BLAKE3 over several whole chunks or parent nodes at once, one per vector lane (engine/blake3_sse41.cpp,
// engine/blake3_avx2.cpp, engine/blake3_avx512.cpp).
#pragma once

#include <cstdint>

#include "engine/cpu_features.h"

#if DIGESTOR_SHA_X86
// Hashes 4, 8 or 16 consecutive 1024-byte chunks of a message in hash mode, the first with chunk counter
// counter, none of them the root, and writes chunk i's chaining value to cvs[i]. Only for a processor
// whose CpuVectorLevel() is at least Sse41, Avx2 or Avx512.
void Blake3HashChunksSse41(const uint8_t* chunks, uint64_t counter, uint32_t cvs[4][8]);
void Blake3HashChunksAvx2(const uint8_t* chunks, uint64_t counter, uint32_t cvs[8][8]);
void Blake3HashChunksAvx512(const uint8_t* chunks, uint64_t counter, uint32_t cvs[16][8]);

// Hashes 4, 8 or 16 parent nodes, none of them the root: parent i's children are children[2i] and
// children[2i + 1], its chaining value goes to cvs[i] (which may be children itself).
void Blake3HashParentsSse41(const uint32_t children[8][8], uint32_t cvs[4][8]);
void Blake3HashParentsAvx2(const uint32_t children[16][8], uint32_t cvs[8][8]);
void Blake3HashParentsAvx512(const uint32_t children[32][8], uint32_t cvs[16][8]);
#endif
