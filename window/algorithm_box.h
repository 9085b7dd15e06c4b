#pragma once

#include <windows.h>

#include "base/algorithm_names.h"

// Empties an algorithm combo box, fills it with the names of BoxKinds in that
// order and selects MD5.
void FillAlgorithmBox(HWND box);

// Selects kind in window's IDC_ALGORITHM box, as the user would.
void SelectAlgorithm(HWND window, DigestKind kind);

// The algorithm chosen in window's IDC_ALGORITHM box; MD5 when nothing, or
// nothing known, is selected.
DigestKind SelectedAlgorithm(HWND window);
