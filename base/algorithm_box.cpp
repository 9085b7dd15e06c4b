#include "base/algorithm_box.h"

#include "res/resource.h"

void FillAlgorithmBox(HWND box) {
    SendMessageA(box, CB_RESETCONTENT, 0, 0);
    for (const char* name : AlgorithmNames) {
        SendMessageA(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    }
    SendMessageA(box, CB_SETCURSEL, DigestMD5, 0);
}

DigestKind SelectedAlgorithm(HWND window) {
    LRESULT selection = SendDlgItemMessageA(window, IDC_ALGORITHM, CB_GETCURSEL, 0, 0);
    if (selection == DigestMD2 || selection == DigestMD4 || selection == DigestCRC32) {
        return static_cast<DigestKind>(selection);
    }
    return DigestMD5;
}
