// The program's colours (colour references 0x00BBGGRR): two greys for the file
// list's bars and the bar colour of every progress bar, and the tones of a
// check's verdicts: on the light bar those of base/verdict_tones.h, on the dark
// (selected) bar their lighter twins here.
#pragma once

#include <windows.h>

#include "base/verdict_tones.h"

const COLORREF LightGrey = 0xE1E1E1;                  // red, green and blue 225
const COLORREF DarkGrey = 0x595959;                   // red, green and blue 89
const COLORREF PassedLightGreen = RGB(140, 235, 140); // on the dark bar
const COLORREF FailedLightRed = RGB(255, 150, 150);
const COLORREF ChangedLightBlue = RGB(150, 200, 255); // on the dark bar
