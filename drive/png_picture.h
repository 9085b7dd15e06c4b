// Pictures of the screen for the README: an area of the screen copied as it shows, written as PNG.
// digestor_drive and explorer_shots both take theirs through here.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// 24-bit rows, top row first, stride bytes each.
struct ScreenPicture {
    std::vector<BYTE> pixels;
    UINT width = 0;
    UINT height = 0;
    UINT stride = 0;
};

// A copy of area (screen coordinates) as the screen shows it now: a window's drawing reaches the
// screen some time after it painted, so callers compare two copies in a row.
bool CopyScreen(const RECT& area, ScreenPicture& picture);

// The window's screen area, its frame and caption included.
bool CopyWindow(HWND window, ScreenPicture& picture);

// Written through the platform's PNG encoder (WIC); COM must be started on the calling thread.
bool WritePng(const std::wstring& path, const ScreenPicture& picture);
