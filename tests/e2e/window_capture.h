// Capturing what a window shows on the screen.
#pragma once

#include <windows.h>
#include <stdint.h>

#include <vector>

struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb; // rows top first, three bytes (red, green, blue) per pixel
};

// Brings window to the top, has it repaint, and copies its screen rectangle (frame, caption and
// menu included) once two captures in a row agree and the picture is not one flat colour, or
// timeoutMs have passed.  Works across processes: it reads the screen, not the window's DC.
bool CaptureWindow(HWND window, DWORD timeoutMs, RgbImage& image);
