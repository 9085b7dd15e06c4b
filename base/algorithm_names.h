// The algorithms' names. Standard C++ only, so the portable list reading
// shares them.
#pragma once

#include "engine/digestor.h"

// Names of the algorithms in combo-box order: the index is the DigestKind, and
// the name is what result lines carry.
extern const char* const AlgorithmNames[DigestSHA512 + 1];

// The name of any kind a check may meet: AlgorithmNames, and "CRC32 (zip)"
// for the zip CRC of SFV files, which no box offers.
const char* KindName(DigestKind kind);
