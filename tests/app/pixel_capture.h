// Reading back what the file list paints, and painting what it should look
// like, both into 32-bit memory bitmaps so that no other window on the
// display can hide or change a pixel.
#pragma once

#include <windows.h>

#include <stdint.h>
#include <vector>

// Colour that no drawing of the program uses: a pixel still holding it was not painted.
const COLORREF Untouched = RGB(255, 0, 255);

struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> colours;

    COLORREF At(int x, int y) const { return colours[static_cast<size_t>(y) * width + x]; }
};

// A memory device context with a top-down 32-bit bitmap filled with one colour.
class Canvas {
public:
    Canvas(int width, int height, COLORREF fill);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC Dc() const { return m_dc; }
    Pixels Read() const;

private:
    int m_width;
    int m_height;
    HDC m_dc;
    HBITMAP m_bitmap;
    HGDIOBJ m_oldBitmap;
    uint32_t* m_bits;
};

// The list's client area as the list paints it: background, then every
// visible entry (WM_ERASEBKGND and WM_PRINTCLIENT into a canvas).
Pixels CaptureList(HWND list);

// An entry bar as the file list is meant to draw it in an item of
// width x height: a one-pixel frame of Untouched, the bar in light grey with
// black text (dark grey with white text when selected), the text inside
// margins of 5 and 3 pixels, drawn with font and DrawTextA flags textFlags.
Pixels RenderBar(HFONT font, int width, int height, const char* text, UINT textFlags, bool selected);

// True when the bars (everything but the one-pixel frame) of item rectangle
// item in list and of bar are the same, pixel for pixel.
bool SameBar(const Pixels& list, const RECT& item, const Pixels& bar);
