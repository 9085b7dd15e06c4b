#include "window/algorithm_box.h"

#include <commctrl.h>

#include <iterator>

#include "res/resource.h"

void FillAlgorithmBox(HWND box) {
    SendMessageA(box, CB_RESETCONTENT, 0, 0);
    for (const char* name : AlgorithmNames) {
        SendMessageA(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    }
    // Every algorithm shows when the box opens, without scrolling.
    SendMessageA(box, CB_SETMINVISIBLE, std::size(AlgorithmNames), 0);
    SendMessageA(box, CB_SETCURSEL, DigestMD5, 0);
}

void SelectAlgorithm(HWND window, DigestKind kind) {
    SendDlgItemMessageA(window, IDC_ALGORITHM, CB_SETCURSEL, kind, 0); // DigestKind order, as filled
}

DigestKind SelectedAlgorithm(HWND window) {
    LRESULT selection = SendDlgItemMessageA(window, IDC_ALGORITHM, CB_GETCURSEL, 0, 0);
    // The box offers the algorithms in DigestKind order.
    if (selection >= DigestMD2 && selection < static_cast<LRESULT>(std::size(AlgorithmNames))) {
        return static_cast<DigestKind>(selection);
    }
    return DigestMD5;
}
