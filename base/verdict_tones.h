// The tones of a check's verdicts on a light background, shared by the window's list and the
// Explorer extension's page (colour references 0x00BBGGRR): passed, failed (CORRUPTED too) and
// changed (MODIFIED, NEW: news of the user's own doing, which must not read as an error).
#pragma once

#include <windows.h>

const COLORREF PassedGreen = RGB(20, 120, 20); // OK
const COLORREF FailedRed = RGB(190, 20, 20);   // FAILED, MISSING, READ ERROR, CORRUPTED
const COLORREF ChangedBlue = RGB(20, 80, 190); // MODIFIED and NEW
