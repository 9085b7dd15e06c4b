#pragma once

#include <windows.h>

// Names of the algorithms in combo-box order: the index is the DigestKind, and
// the name is what result lines carry.
extern const char* const AlgorithmNames[4];

// Empties an algorithm combo box, fills it with AlgorithmNames and selects MD5.
void FillAlgorithmBox(HWND box);
