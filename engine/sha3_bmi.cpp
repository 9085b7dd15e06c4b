// Keccak-f[1600] (FIPS 202) for SHA-3 with BMI1's andn. Built with -mbmi; nothing here runs unless
// CPUID says so.
#include "engine/sha3_bmi.h"

#if DIGESTOR_SHA_X86

#include "engine/keccak_f1600.h"

void KeccakF1600Bmi(uint64_t state[25]) { KeccakF1600(state); }

#endif
