#include "tools/quick_sum.h"

#include <stdio.h>

#include <new>
#include <string>

#include "companion/varnolib.h"
#include "engine/digestor.h"
#include "res/resource.h"
#include "base/mirrored_layout.h"
#include "window/algorithm_box.h"
#include "window/app_state.h"
#include "window/dialog_dressing.h"

namespace {

const int DigestBufferSize = 160; // SHA-512: 128 hex digits

const ControlText QuickSumTexts[] = {
    {IDC_TEXT_LABEL, IDS_TEXT_LABEL},
    {IDC_DIGEST_LABEL, IDS_DIGEST_LABEL},
    {IDC_ALGORITHM_LABEL, IDS_ALGORITHM_LABEL},
    {IDC_START, IDS_START},
};

const ControlLook QuickSumLooks[] = {
    {IDC_DIGEST_OUTPUT, StyleControl},
};

void OnInitDialog(HWND dialog) {
    DressDialog(dialog, MakeDressing(IDS_QUICKSUM_CAPTION, QuickSumTexts, QuickSumLooks, true));
    KeepLeftToRight(GetDlgItem(dialog, IDC_DIGEST_OUTPUT));
    // MD5 at every opening, whatever the main window has chosen.
    FillAlgorithmBox(GetDlgItem(dialog, IDC_ALGORITHM));
}

// Digests the input field's whole text, as the process code page has it
// (UTF-8: the bytes other systems digest for the same text), and shows the
// digest text in the output field.
void ComputeQuickSum(HWND dialog) {
    char digest[DigestBufferSize] = "";
    try {
        HWND input = GetDlgItem(dialog, IDC_TEXT_INPUT);
        // The length may be more than the text takes, never less.
        std::string text(static_cast<size_t>(GetWindowTextLengthA(input)) + 1, '\0');
        text.resize(static_cast<size_t>(GetWindowTextA(input, &text[0], static_cast<int>(text.size()))));
        DigestorHolder digestor(SelectedAlgorithm(dialog));
        digestor->Reset();
        digestor->Update(reinterpret_cast<const uint8_t*>(text.data()), static_cast<uint32_t>(text.size()));
        digestor->Finish();
        snprintf(digest, sizeof digest, "%s", digestor->DigestText().c_str());
    } catch (const std::bad_alloc&) {
        // Out of memory: no digest to show.
    }
    SetDlgItemTextA(dialog, IDC_DIGEST_OUTPUT, digest);
}

} // namespace

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
        if (IsCloseCommand(wParam)) {
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
