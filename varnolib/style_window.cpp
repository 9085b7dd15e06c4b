// StyleWindow: the library's flat look. Frames only: no size, position or visibility changes, no
// painting of its own, so owner-drawn controls keep drawing themselves.
#include "companion/varnolib.h"

namespace {

bool IsOfClass(HWND window, const char* windowClass) {
    char name[16];
    return GetClassNameA(window, name, sizeof(name)) != 0 && lstrcmpiA(name, windowClass) == 0;
}

bool IsGroupBox(HWND window) {
    return IsOfClass(window, "Button") && (GetWindowLongPtrA(window, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
}

// Swaps the 3-D edges for WS_BORDER. The window rectangle stays; the client area grows by the
// edge width, so the control gets WM_SIZE and lays its contents out again.
void FlattenFrame(HWND window) {
    const LONG_PTR edges = WS_EX_CLIENTEDGE | WS_EX_STATICEDGE;
    const LONG_PTR extended = GetWindowLongPtrA(window, GWL_EXSTYLE);
    if ((extended & edges) == 0)
        return;
    // A list box that keeps its height to whole items would answer the larger client area by
    // changing its height: it keeps its edges.
    if (IsOfClass(window, "ListBox") && (GetWindowLongPtrA(window, GWL_STYLE) & LBS_NOINTEGRALHEIGHT) == 0)
        return;
    SetWindowLongPtrA(window, GWL_EXSTYLE, extended & ~edges);
    SetWindowLongPtrA(window, GWL_STYLE, GetWindowLongPtrA(window, GWL_STYLE) | WS_BORDER);
    SetWindowPos(window, NULL, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

bool FlattenGroupBox(HWND window) {
    if (!IsGroupBox(window))
        return false;
    const LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
    if ((style & BS_FLAT) == 0) {
        SetWindowLongPtrA(window, GWL_STYLE, style | BS_FLAT);
        InvalidateRect(window, NULL, TRUE);
    }
    return true;
}

BOOL CALLBACK StyleChild(HWND child, LPARAM dialog) {
    // Only the dialog's own controls: a combo box's inner edit is the combo box's business.
    if (GetParent(child) == reinterpret_cast<HWND>(dialog) && !FlattenGroupBox(child))
        FlattenFrame(child);
    return TRUE;
}

} // namespace

int32_t StyleWindow(HWND window, int32_t kind, int32_t scope, int32_t options) {
    (void)options; // no meaning yet
    if (!IsWindow(window))
        return 0;
    switch (kind) {
    case StyleControl:
        FlattenFrame(window);
        return 1;
    case StyleDialog:
        FlattenFrame(window);
        if (scope == StyleWithChildren)
            EnumChildWindows(window, StyleChild, reinterpret_cast<LPARAM>(window));
        return 1;
    case StyleGroup:
        return FlattenGroupBox(window) ? 1 : 0;
    default:
        return 0;
    }
}
