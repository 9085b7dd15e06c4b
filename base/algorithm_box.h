#pragma once

#include <windows.h>

#include "engine/digestor.h"

// Names of the algorithms in combo-box order: the index is the DigestKind, and
// the name is what result lines carry.
extern const char* const AlgorithmNames[DigestCRC32 + 1];

// Empties an algorithm combo box, fills it with AlgorithmNames and selects MD5.
void FillAlgorithmBox(HWND box);

// The algorithm chosen in window's IDC_ALGORITHM box; MD5 when nothing, or
// nothing known, is selected.
DigestKind SelectedAlgorithm(HWND window);
