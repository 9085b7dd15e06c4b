#include "tools/quick_sum.h"

#include <stdio.h>

#include <string>

#include "app/algorithm_box.h"
#include "app/app_state.h"
#include "app/load_text.h"
#include "app/set_caption.h"
#include "companion/varnolib.h"
#include "engine/digestor.h"
#include "res/resource.h"

namespace {

const int InputBufferSize = 8192; // terminator included
const int DigestBufferSize = 64;

void OnInitDialog(HWND dialog) {
    char caption[CaptionBufferSize];
    const char* title = LoadText(IDS_QUICKSUM_CAPTION);
    snprintf(caption, sizeof caption, "%s: %s", AppCaption, title ? title : "");
    SetWindowTextA(dialog, caption);

    SetTextFromLanguage(dialog, IDC_TEXT_LABEL, IDS_TEXT_LABEL);
    SetTextFromLanguage(dialog, IDC_DIGEST_LABEL, IDS_DIGEST_LABEL);
    SetTextFromLanguage(dialog, IDC_ALGORITHM_LABEL, IDS_ALGORITHM_LABEL);
    SetTextFromLanguage(dialog, IDC_START, IDS_START);
    StyleWindow(dialog, 1, 1, 0);
    SetCaption("");
    StyleWindow(GetDlgItem(dialog, IDC_DIGEST_OUTPUT), 0, 0, 0);
    SetClassLongPtrA(dialog, GCLP_HICON,
                     reinterpret_cast<LONG_PTR>(LoadIconA(AppInstance, MAKEINTRESOURCEA(IDI_APP))));
    AttachDialog(dialog, MainWindow);
    // MD5 at every opening, whatever the main window has chosen.
    FillAlgorithmBox(GetDlgItem(dialog, IDC_ALGORITHM));
}

} // namespace

void ComputeQuickSum(HWND dialog) {
    LRESULT selection = SendDlgItemMessageA(dialog, IDC_ALGORITHM, CB_GETCURSEL, 0, 0);
    DigestKind kind = DigestMD5;
    if (selection == DigestMD2 || selection == DigestMD4 || selection == DigestCRC32) {
        kind = static_cast<DigestKind>(selection);
    }
    IDigestor* digestor = CreateDigestor(kind);

    // Static: the window thread's stack need not carry 8 KiB for one line of text.
    static char input[InputBufferSize];
    UINT length = GetDlgItemTextA(dialog, IDC_TEXT_INPUT, input, InputBufferSize);
    digestor->Reset();
    digestor->Update(reinterpret_cast<const uint8_t*>(input), length);
    digestor->Finish();

    char digest[DigestBufferSize];
    std::string text = digestor->DigestText();
    snprintf(digest, sizeof digest, "%s", text.c_str());
    SetDlgItemTextA(dialog, IDC_DIGEST_OUTPUT, digest);
    digestor->Release();
}

INT_PTR CALLBACK QuickSumDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(dialog);
        return TRUE;
    case WM_COMMAND:
        // No default button: Enter (IDOK) and Escape (IDCANCEL) do nothing.
        if (LOWORD(wParam) == IDC_START) {
            ComputeQuickSum(dialog);
        }
        break;
    case WM_SYSCOMMAND:
        // Ended rather than destroyed: destroying a modal dialog from inside
        // its own loop does not end the loop everywhere.
        if ((wParam & 0xFFF0) == SC_CLOSE) {
            EndDialog(dialog, 1);
        }
        break;
    case WM_CLOSE:
    case WM_DESTROY:
        EndDialog(dialog, 1);
        break;
    }
    return FALSE;
}
