// The program's colours (colour references 0x00BBGGRR): two greys for the file
// list's bars and the bar colour of every progress bar, and the tones of a
// check's verdicts on the light and on the dark (selected) bar: passed, failed
// (CORRUPTED too) and changed (MODIFIED, NEW: news of the user's own doing,
// which must not read as an error).
#pragma once

#include <windows.h>

const COLORREF LightGrey = 0xE1E1E1;                  // red, green and blue 225
const COLORREF DarkGrey = 0x595959;                   // red, green and blue 89
const COLORREF PassedGreen = RGB(20, 120, 20);        // OK on the light bar
const COLORREF FailedRed = RGB(190, 20, 20);          // FAILED, MISSING, READ ERROR, CORRUPTED there
const COLORREF PassedLightGreen = RGB(140, 235, 140); // on the dark bar
const COLORREF FailedLightRed = RGB(255, 150, 150);
const COLORREF ChangedBlue = RGB(20, 80, 190);        // MODIFIED and NEW on the light bar
const COLORREF ChangedLightBlue = RGB(150, 200, 255); // on the dark bar
