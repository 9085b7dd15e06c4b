// AttachDialog: a secondary dialog opens centred over the main window, never off screen.
#include "companion/varnolib.h"

int32_t AttachDialog(HWND dialog, HWND mainWindow) {
    if (!IsWindow(dialog) || (GetWindowLongPtrA(dialog, GWL_STYLE) & WS_CHILD))
        return 0;
    RECT box;
    GetWindowRect(dialog, &box);
    const LONG width = box.right - box.left;
    const LONG height = box.bottom - box.top;

    const bool overMain = mainWindow != NULL && IsWindow(mainWindow) && !IsIconic(mainWindow);
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    if (!GetMonitorInfoA(MonitorFromWindow(overMain ? mainWindow : dialog, MONITOR_DEFAULTTONEAREST),
                         &monitor))
        return 0;
    const RECT& work = monitor.rcWork;

    // Without a usable main window (none, or minimised far off screen) the work area is the anchor.
    RECT anchor = work;
    if (overMain)
        GetWindowRect(mainWindow, &anchor);
    LONG x = anchor.left + (anchor.right - anchor.left - width) / 2;
    LONG y = anchor.top + (anchor.bottom - anchor.top - height) / 2;

    // Pull it back inside the work area; a dialog larger than the area keeps its top left corner
    // (caption and system menu) visible.
    if (x + width > work.right)
        x = work.right - width;
    if (x < work.left)
        x = work.left;
    if (y + height > work.bottom)
        y = work.bottom - height;
    if (y < work.top)
        y = work.top;

    return SetWindowPos(dialog, NULL, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE) ? 1 : 0;
}
