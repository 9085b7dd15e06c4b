// The program's two greys (colour references 0x00BBGGRR): the file list's bars
// and the bar colour of every progress bar.
#pragma once

#include <windows.h>

const COLORREF LightGrey = 0xE1E1E1; // red, green and blue 225
const COLORREF DarkGrey = 0x595959;  // red, green and blue 89
