#include "window/algorithm_box.h"

#include <commctrl.h>

#include "res/resource.h"

void FillAlgorithmBox(HWND box) {
    SendMessageA(box, CB_RESETCONTENT, 0, 0);
    for (DigestKind kind : BoxKinds) {
        SendMessageA(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(KindName(kind)));
    }
    // Every algorithm shows when the box opens, without scrolling.
    SendMessageA(box, CB_SETMINVISIBLE, BoxKindCount, 0);
    SendMessageA(box, CB_SETCURSEL, BoxPosition(DigestMD5), 0);
}

void SelectAlgorithm(HWND window, DigestKind kind) {
    const int position = BoxPosition(kind);
    SendDlgItemMessageA(window, IDC_ALGORITHM, CB_SETCURSEL,
                        position >= 0 ? position : BoxPosition(DigestMD5), 0);
}

DigestKind SelectedAlgorithm(HWND window) {
    LRESULT selection = SendDlgItemMessageA(window, IDC_ALGORITHM, CB_GETCURSEL, 0, 0);
    return selection >= 0 && selection < static_cast<LRESULT>(BoxKindCount) ? BoxKinds[selection] : DigestMD5;
}
