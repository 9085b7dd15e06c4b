#include "tools/quick_sum.h"

#include <stdio.h>

#include <string>

#include "app/algorithm_box.h"
#include "app/app_state.h"
#include "app/load_text.h"
#include "app/program_icon.h"
#include "app/set_caption.h"
#include "companion/varnolib.h"
#include "engine/digestor.h"
#include "res/resource.h"

namespace {

const int InputBufferSize = 8192; // terminator included
const int DigestBufferSize = 64;

void OnInitDialog(HWND dialog) {
    SetDialogCaption(dialog, IDS_QUICKSUM_CAPTION);

    SetTextFromLanguage(dialog, IDC_TEXT_LABEL, IDS_TEXT_LABEL);
    SetTextFromLanguage(dialog, IDC_DIGEST_LABEL, IDS_DIGEST_LABEL);
    SetTextFromLanguage(dialog, IDC_ALGORITHM_LABEL, IDS_ALGORITHM_LABEL);
    SetTextFromLanguage(dialog, IDC_START, IDS_START);
    StyleWindow(dialog, 1, 1, 0);
    SetCaption("");
    StyleWindow(GetDlgItem(dialog, IDC_DIGEST_OUTPUT), 0, 0, 0);
    SetProgramIcon(dialog);
    AttachDialog(dialog, MainWindow);
    // MD5 at every opening, whatever the main window has chosen.
    FillAlgorithmBox(GetDlgItem(dialog, IDC_ALGORITHM));
}

} // namespace

void ComputeQuickSum(HWND dialog) {
    IDigestor* digestor = CreateDigestor(SelectedAlgorithm(dialog));

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
