#include "window/list_painting.h"

#include "res/resource.h"
#include "window/app_state.h"

namespace {

// Often enough to look live, seldom enough to cost nothing.
const UINT PaintInterval = 100;

int Holds = 0;

HWND List() { return GetDlgItem(MainWindow, IDC_FILE_LIST); }

} // namespace

void HoldListPainting() {
    if (Holds++ == 0) {
        SendMessageA(List(), WM_SETREDRAW, FALSE, 0);
        SetTimer(MainWindow, ListPaintTimer, PaintInterval, NULL);
    }
}

void ReleaseListPainting() {
    if (Holds == 0 || --Holds > 0) {
        return;
    }
    KillTimer(MainWindow, ListPaintTimer);
    HWND list = List();
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, NULL, TRUE);
}

void PaintHeldList() {
    if (Holds == 0) {
        return;
    }
    HWND list = List();
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, NULL, TRUE);
    UpdateWindow(list);
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
}
