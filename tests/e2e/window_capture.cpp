#include "tests/e2e/window_capture.h"

#include "tests/e2e/poll.h"
#include "tests/e2e/process_windows.h"

#include <utility>

namespace {

// One copy of a screen rectangle through a 32-bit top-down DIB section.
bool CaptureScreenArea(const RECT& area, RgbImage& image) {
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (width <= 0 || height <= 0)
        return false;

    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // negative: top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;

    HDC screen = GetDC(nullptr);
    if (!screen)
        return false;
    bool ok = false;
    HDC memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP bitmap = memory ? CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
    if (bitmap) {
        HGDIOBJ previous = SelectObject(memory, bitmap);
        ok = BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY | CAPTUREBLT) != 0;
        GdiFlush();
        if (ok) {
            // The DIB holds blue, green, red and an unused byte per pixel.
            const uint8_t* source = static_cast<const uint8_t*>(bits);
            image.width = width;
            image.height = height;
            image.rgb.resize(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
            for (size_t i = 0, n = static_cast<size_t>(width) * static_cast<size_t>(height); i < n; ++i) {
                image.rgb[i * 3 + 0] = source[i * 4 + 2];
                image.rgb[i * 3 + 1] = source[i * 4 + 1];
                image.rgb[i * 3 + 2] = source[i * 4 + 0];
            }
        }
        SelectObject(memory, previous);
        DeleteObject(bitmap);
    }
    if (memory)
        DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return ok;
}

bool IsFlat(const RgbImage& image) {
    for (size_t i = 3; i < image.rgb.size(); i += 3) {
        if (image.rgb[i] != image.rgb[0] || image.rgb[i + 1] != image.rgb[1] ||
            image.rgb[i + 2] != image.rgb[2])
            return false;
    }
    return true;
}

} // namespace

bool CaptureWindow(HWND window, DWORD timeoutMs, RgbImage& image) {
    // In front and on top of everything for the capture only; the display may well be someone's
    // desktop.  Under Xvfb without a window manager Wine leaves the caption of the window it has
    // just activated drawn inactive, so the window is told again that it is the active one.
    SetForegroundWindow(window);
    if (PollUntil([&] { return GetForegroundWindow() == window; }, 2000, 20))
        SendPlainMessage(window, WM_NCACTIVATE, TRUE, 0);
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    SyncWithWindow(window);

    // A program's drawing reaches the screen some time after it painted; the picture is taken
    // once it stops changing.
    RgbImage previous;
    bool stable = PollUntil(
        [&] {
            RECT area;
            RgbImage current;
            if (!GetWindowRect(window, &area) || !CaptureScreenArea(area, current))
                return false;
            bool same = current.width == previous.width && current.height == previous.height &&
                        current.rgb == previous.rgb && !IsFlat(current);
            previous = std::move(current);
            return same;
        },
        timeoutMs, 50);

    SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (!stable)
        return false;
    image = std::move(previous);
    return true;
}
