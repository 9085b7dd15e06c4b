#pragma once

#include <windows.h>

// Hands the program's about record to the companion library's about box,
// owned by owner; returns when the box is closed.
void ShowAbout(HWND owner);
