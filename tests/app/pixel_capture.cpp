#include "pixel_capture.h"

namespace {

COLORREF FromDibPixel(uint32_t pixel) { return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF); }

} // namespace

Canvas::Canvas(int width, int height, COLORREF fill)
    : m_width(width), m_height(height), m_dc(CreateCompatibleDC(NULL)), m_bits(nullptr) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    m_bitmap = CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    m_bits = static_cast<uint32_t*>(bits);
    m_oldBitmap = SelectObject(m_dc, m_bitmap);
    RECT all = {0, 0, width, height};
    HBRUSH brush = CreateSolidBrush(fill);
    FillRect(m_dc, &all, brush);
    DeleteObject(brush);
}

Canvas::~Canvas() {
    SelectObject(m_dc, m_oldBitmap);
    DeleteObject(m_bitmap);
    DeleteDC(m_dc);
}

Pixels Canvas::Read() const {
    GdiFlush();
    Pixels pixels;
    pixels.width = m_width;
    pixels.height = m_height;
    pixels.colours.resize(static_cast<size_t>(m_width) * m_height);
    for (size_t i = 0; i < pixels.colours.size(); ++i) {
        pixels.colours[i] = FromDibPixel(m_bits[i]);
    }
    return pixels;
}

Pixels CaptureList(HWND list) {
    RECT client;
    GetClientRect(list, &client);
    Canvas canvas(client.right, client.bottom, Untouched);
    SendMessageA(list, WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.Dc()), 0);
    SendMessageA(list, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT);
    return canvas.Read();
}

Pixels RenderBar(HFONT font, int width, int height, const char* text, UINT textFlags, bool selected) {
    Canvas canvas(width, height, Untouched);
    HDC dc = canvas.Dc();
    COLORREF barColour = selected ? RGB(0x59, 0x59, 0x59) : RGB(0xE1, 0xE1, 0xE1);
    HPEN pen = CreatePen(PS_SOLID, 0, barColour);
    HBRUSH brush = CreateSolidBrush(barColour);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    HGDIOBJ oldFont = SelectObject(dc, font);
    Rectangle(dc, 1, 1, width - 1, height - 1);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, selected ? RGB(255, 255, 255) : RGB(0, 0, 0));
    RECT textRect = {5, 3, width - 5, height - 3};
    DrawTextA(dc, text, -1, &textRect, textFlags);
    SelectObject(dc, oldFont);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(brush);
    DeleteObject(pen);
    return canvas.Read();
}

bool SameBar(const Pixels& list, const RECT& item, const Pixels& bar) {
    for (int y = 1; y < bar.height - 1; ++y) {
        for (int x = 1; x < bar.width - 1; ++x) {
            if (list.At(item.left + x, item.top + y) != bar.At(x, y)) {
                return false;
            }
        }
    }
    return true;
}
