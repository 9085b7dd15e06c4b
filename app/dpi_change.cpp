#include "app/dpi_change.h"

#include "res/resource.h"
#include "window/app_state.h"
#include "window/window_dpi.h"

namespace {

// The DPI the window's own pixels are in: its icons and the frame icon's place.
UINT WindowDpiNow = 0;

// The program's icon at the main window's DPI, in the title bar (small), the
// task switcher and the frame (big). The class icon stays at the system's DPI
// for the other dialogs. Each pair lives until the next change replaces it.
HICON BigIcon = NULL;
HICON SmallIcon = NULL;

HICON LoadProgramIcon(int metric, UINT dpi) {
    const int size = SystemMetricForDpi(metric, dpi);
    return static_cast<HICON>(LoadImageA(AppInstance, MAKEINTRESOURCEA(IDI_APP), IMAGE_ICON, size, size, 0));
}

// The icon static in the frame: the template's only one. It is not in the
// layout table, so its place is scaled here; it takes the icon's size itself.
HWND FrameIcon(HWND window) {
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char name[16];
        if (GetClassNameA(child, name, sizeof name) && lstrcmpiA(name, "Static") == 0 &&
            (GetWindowLongPtrA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
            return child;
        }
    }
    return NULL;
}

HWND MoveFrameIcon(HWND window, UINT from, UINT to) {
    HWND icon = FrameIcon(window);
    if (icon) {
        RECT r;
        GetWindowRect(icon, &r);
        MapWindowPoints(NULL, window, reinterpret_cast<POINT*>(&r), 2);
        SetWindowPos(icon, NULL, MulDiv(r.left, static_cast<int>(to), static_cast<int>(from)),
                     MulDiv(r.top, static_cast<int>(to), static_cast<int>(from)), 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return icon;
}

} // namespace

void RememberWindowDpi(HWND window) { WindowDpiNow = WindowDpi(window); }

void OnDpiChanged(HWND window, WPARAM wParam, LPARAM lParam) {
    const UINT dpi = LOWORD(wParam);
    const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
    SetWindowPos(window, NULL, suggested->left, suggested->top, suggested->right - suggested->left,
                 suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    const UINT from = WindowDpiNow;
    if (dpi == 0 || from == 0 || dpi == from) {
        return;
    }
    WindowDpiNow = dpi;
    HWND frameIcon = MoveFrameIcon(window, from, dpi);
    HICON bigIcon = LoadProgramIcon(SM_CXICON, dpi), smallIcon = LoadProgramIcon(SM_CXSMICON, dpi);
    if (!bigIcon || !smallIcon) { // the icons shown stay
        DestroyIcon(bigIcon ? bigIcon : smallIcon);
        return;
    }
    SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon));
    SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon));
    if (frameIcon) {
        SendMessageA(frameIcon, STM_SETICON, reinterpret_cast<WPARAM>(bigIcon), 0);
    }
    // The pair before is shown nowhere any more.
    if (BigIcon) {
        DestroyIcon(BigIcon);
        DestroyIcon(SmallIcon);
    }
    BigIcon = bigIcon;
    SmallIcon = smallIcon;
}
