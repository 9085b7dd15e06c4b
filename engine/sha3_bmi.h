// Keccak-f[1600] built for BMI1 (engine/sha3_bmi.cpp).
#pragma once

#include <cstdint>

#include "engine/cpu_features.h"

#if DIGESTOR_SHA_X86
// The same permutation as the portable one, chi's ~x & y in one andn. Only for a processor whose
// CpuVectorLevel() is at least Avx2 (which includes BMI1).
void KeccakF1600Bmi(uint64_t state[25]);
#endif
