#include "tools/compare_folders.h"

#include "base/mirrored_layout.h"
#include "base/long_path.h"
#include "base/path_buffer.h"
#include "companion/varnolib.h"
#include "res/resource.h"
#include "tools/record_folder.h"
#include "window/program_dialog.h"
#include "window/algorithm_box.h"
#include "window/app_state.h"
#include "window/dialog_dressing.h"
#include "window/folder_picker.h"
#include "window/gui_listbox.h"
#include "window/main_look.h"
#include "window/show_message.h"

namespace {

const ControlText CompareTexts[] = {
    {IDC_COMPARE_ORIGINAL_LABEL, IDS_COMPARE_ORIGINAL_LABEL},
    {IDC_COMPARE_COPY_LABEL, IDS_COMPARE_COPY_LABEL},
    {IDC_COMPARE_ORIGINAL_BROWSE, IDS_COMPARE_BROWSE},
    {IDC_COMPARE_COPY_BROWSE, IDS_COMPARE_BROWSE},
    {IDC_ALGORITHM_LABEL, IDS_ALGORITHM_LABEL},
    {IDC_COMPARE_RECORD, IDS_COMPARE_RECORD},
    {IDC_START, IDS_COMPARE_START},
    {IDC_CANCEL, IDS_CANCEL},
};

const ControlLook CompareLooks[] = {
    {IDC_COMPARE_ORIGINAL, StyleControl},
    {IDC_COMPARE_COPY, StyleControl},
};

std::string FieldText(HWND dialog, int field) {
    char text[PathBufferSize] = "";
    GetDlgItemTextA(dialog, field, text, sizeof text);
    return text;
}

// Compare is offered once both sides are named.
void OfferCompare(HWND dialog) {
    EnableWindow(GetDlgItem(dialog, IDC_START), !FieldText(dialog, IDC_COMPARE_ORIGINAL).empty() &&
                                                    !FieldText(dialog, IDC_COMPARE_COPY).empty());
}

void OnInitDialog(HWND dialog, FolderComparison* comparison) {
    SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(comparison));
    DressDialog(dialog, MakeDressing(IDS_COMPARE_CAPTION, CompareTexts, CompareLooks, true));
    KeepLeftToRight(GetDlgItem(dialog, IDC_COMPARE_ORIGINAL)); // paths
    KeepLeftToRight(GetDlgItem(dialog, IDC_COMPARE_COPY));
    FillAlgorithmBox(GetDlgItem(dialog, IDC_ALGORITHM));
    // XXH128 at every opening: the comparison looks for accidents, and it reads fastest.
    SelectAlgorithm(dialog, DigestXXH128);
    for (int field : {IDC_COMPARE_ORIGINAL, IDC_COMPARE_COPY}) {
        SendDlgItemMessageA(dialog, field, EM_LIMITTEXT, PathBufferSize - 1, 0);
    }
    OfferCompare(dialog);
}

// The picker opens where the field points, and puts what was picked there.
void OnBrowse(HWND dialog, int field, UINT titleId) {
    std::string folder = FieldText(dialog, field);
    if (PickFolder(dialog, titleId, folder)) {
        SetDlgItemTextA(dialog, field, folder.c_str());
    }
}

void OnCompare(HWND dialog) {
    FolderComparison* comparison = reinterpret_cast<FolderComparison*>(GetWindowLongPtrA(dialog, DWLP_USER));
    comparison->original = FieldText(dialog, IDC_COMPARE_ORIGINAL);
    comparison->copy = FieldText(dialog, IDC_COMPARE_COPY);
    comparison->kind = SelectedAlgorithm(dialog);
    comparison->record = IsDlgButtonChecked(dialog, IDC_COMPARE_RECORD) == BST_CHECKED;
    if (PrepareComparison(dialog, *comparison)) {
        EndDialog(dialog, IDOK);
    }
}

} // namespace

INT_PTR CALLBACK CompareDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(dialog, reinterpret_cast<FolderComparison*>(lParam));
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_COMPARE_ORIGINAL:
        case IDC_COMPARE_COPY:
            if (HIWORD(wParam) == EN_CHANGE) {
                OfferCompare(dialog);
            }
            break;
        case IDC_COMPARE_ORIGINAL_BROWSE:
            OnBrowse(dialog, IDC_COMPARE_ORIGINAL, IDS_COMPARE_ORIGINAL_TITLE);
            break;
        case IDC_COMPARE_COPY_BROWSE:
            OnBrowse(dialog, IDC_COMPARE_COPY, IDS_COMPARE_COPY_TITLE);
            break;
        case IDOK: // Enter
            if (IsWindowEnabled(GetDlgItem(dialog, IDC_START))) {
                OnCompare(dialog);
            }
            break;
        case IDC_START:
            OnCompare(dialog);
            break;
        case IDC_CANCEL:
        case IDCANCEL: // Esc
            EndDialog(dialog, IDCANCEL);
            break;
        }
        break;
    case WM_SYSCOMMAND:
        // Ended rather than destroyed, as the quick sum is.
        if (IsCloseCommand(wParam)) {
            EndDialog(dialog, IDCANCEL);
        }
        break;
    case WM_CLOSE:
        EndDialog(dialog, IDCANCEL);
        break;
    }
    return FALSE;
}

// A side that names nothing there, or nothing a path buffer holds.
bool Refused(HWND owner, const std::string& side) {
    if (side.size() < static_cast<size_t>(PathBufferSize) &&
        PathAttributes(side) != INVALID_FILE_ATTRIBUTES) {
        return false;
    }
    ShowMessage(owner, IDS_COMPARE_UNREADABLE, side.c_str(), MB_TASKMODAL | MB_ICONERROR);
    return true;
}

bool AskForComparison(HWND owner, FolderComparison& comparison) {
    if (ExpandThread || ProgressWindow || HashThread) {
        return false;
    }
    return ShowProgramDialog(IDD_COMPARE, owner, CompareDialogProc, reinterpret_cast<LPARAM>(&comparison)) ==
           IDOK;
}

bool PrepareComparison(HWND owner, FolderComparison& comparison) {
    if (ExpandThread || ProgressWindow || HashThread || Refused(owner, comparison.original) ||
        Refused(owner, comparison.copy)) {
        return false;
    }
    comparison.original = FullPath(comparison.original);
    comparison.copy = FullPath(comparison.copy);
    if (SamePath(comparison.original, comparison.copy)) {
        ShowMessage(owner, IDS_COMPARE_SAME_FOLDER, comparison.original.c_str(), MB_TASKMODAL | MB_ICONERROR);
        return false;
    }
    comparison.recordList = comparison.record ? RecordedListPath(comparison.original, comparison.kind) : "";
    if (comparison.record && PathAttributes(comparison.recordList) != INVALID_FILE_ATTRIBUTES &&
        ShowMessage(owner, IDS_RECORD_REPLACE, comparison.recordList.c_str(), MB_ICONQUESTION | MB_YESNO) !=
            IDYES) {
        return false;
    }
    if (FileList->EntryCount() > 0 &&
        ShowMessage(owner, IDS_COMPARE_REPLACE, MB_ICONQUESTION | MB_YESNO) != IDYES) {
        return false;
    }
    // What a finished check found no longer holds: Update list is withdrawn.
    Recorded = RecordedWork();
    FileList->ClearEntries();
    SetDlgItemTextA(MainWindow, IDC_SELECTED_PATH, "");
    OfferSaveAndClear(false);
    return true;
}
