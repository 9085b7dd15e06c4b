// SHA-1 and SHA-256 compression with the x86 SHA extensions (engine/sha_x86.cpp).
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/cpu_features.h"

#if DIGESTOR_SHA_X86
// Compress count consecutive 64-byte blocks into the chaining words, as the portable code does.
// Only for a processor where CpuHasShaExtensions() is true.
void Sha1CompressX86(uint32_t state[5], const uint8_t* blocks, size_t count);
void Sha256CompressX86(uint32_t state[8], const uint8_t* blocks, size_t count);
#endif
