// The algorithms' names. Standard C++ only, so the portable list reading
// shares them.
#pragma once

#include "engine/digestor.h"

// Names of the algorithms in combo-box order: the index is the DigestKind, and
// the name is what result lines carry.
extern const char* const AlgorithmNames[DigestSHA512 + 1];
