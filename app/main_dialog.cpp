#include "app/main_dialog.h"

#include <commctrl.h>

#include <iterator>
#include <new>
#include <string>
#include <vector>

#include "app/dpi_change.h"
#include "app/drop_intake.h"
#include "app/take_command_line.h"
#include "base/mirrored_layout.h"
#include "base/code_page.h"
#include "base/load_text.h"
#include "companion/varnolib.h"
#include "gather/folder_expand_thread.h"
#include "gather/folder_scan.h"
#include "res/resource.h"
#include "run/compare_job.h"
#include "run/entry_batches.h"
#include "run/progress_dialog.h"
#include "tools/check_list.h"
#include "tools/compare_clipboard.h"
#include "tools/compare_folders.h"
#include "tools/quick_sum.h"
#include "tools/record_folder.h"
#include "tools/save_list.h"
#include "tools/show_about.h"
#include "tools/update_list.h"
#include "window/program_dialog.h"
#include "window/algorithm_box.h"
#include "window/app_state.h"
#include "window/dialog_dressing.h"
#include "window/gui_listbox.h"
#include "window/list_painting.h"
#include "window/main_look.h"
#include "window/private_messages.h"
#include "window/progress_bar.h"
#include "window/show_message.h"
#include "window/taskbar.h"

// How the companion library moves and sizes each control when the window is
// resized. The library keeps the table, so it lives as long as the process.
static const LayoutEntry MainLayout[] = {
    {IDC_FRAME, AnchorHeight},
    {IDC_FILE_LIST, AnchorWidth | AnchorHeight},
    {IDC_SELECTED_PATH, AnchorWidth | AnchorBottom},
    {IDC_MAIN_PROGRESS, AnchorWidth | AnchorBottom},
    {IDC_ALGORITHM_LABEL, AnchorBottom},
    {IDC_ALGORITHM, AnchorBottom},
    {IDC_START, AnchorRight | AnchorBottom},
};

static const ControlText MainTexts[] = {
    {IDC_START, IDS_START},
    {IDC_ALGORITHM_LABEL, IDS_ALGORITHM_LABEL},
};

static const ControlLook MainLooks[] = {
    {IDC_FILE_LIST, StyleControl},
    {IDC_SELECTED_PATH, StyleControl},
};

// Releases the menu and the language module, each once, and ends the modal
// loop with 1. The window is left to the dialog manager, which destroys it
// when the loop has ended: a modal dialog destroyed from inside its own loop
// does not reliably hand its result back.
static void EndMainWindow(HWND window) {
    if (MainMenu) {
        if (GetMenu(window) == MainMenu) {
            SetMenu(window, NULL);
        }
        DestroyMenu(MainMenu);
        MainMenu = NULL;
    }
    // A worker still running loads texts from the module; the process ends
    // right after the dialog, which releases the module for it.
    if (LanguageModule && !ExpandThread && !HashThread) {
        FreeLibrary(LanguageModule);
        LanguageModule = NULL;
    }
    EndDialog(window, 1);
}

static void SetUpProgressBar(HWND bar) {
    SetWindowLongPtrA(bar, GWL_STYLE, GetWindowLongPtrA(bar, GWL_STYLE) | PBS_MARQUEE);
    ShowWindow(bar, SW_HIDE);
}

static void OnInitDialog(HWND window) {
    MainWindow = window;
    RememberWindowDpi(window);

    // The template's menu is a placeholder; the real one carries the wording.
    HMENU menu = LanguageModule ? LoadMenuA(LanguageModule, MAKEINTRESOURCEA(IDR_MAIN_MENU)) : NULL;
    if (!menu) {
        MessageBoxA(NULL, "CAN'T SET MENU!", "ERROR", MB_ICONERROR);
        EndMainWindow(window);
        return;
    }
    MainMenu = menu;
    HMENU placeholder = GetMenu(window);
    SetMenu(window, MainMenu);
    if (placeholder) {
        DestroyMenu(placeholder);
    }

    // Subclasses the list and this window for drawing before the library styles the list.
    // Without the list there is nothing to work on: the window closes.
    FileList = new (std::nothrow) GuiListbox(GetDlgItem(window, IDC_FILE_LIST));
    if (!FileList) {
        ShowMessage(NULL, IDS_DROP_NO_MEMORY, MB_ICONERROR);
        EndMainWindow(window);
        return;
    }
    // The start button says so while a walk runs (UpdateMainLook).
    const char* walking = LoadText(IDS_START_EXPANDING);
    const std::vector<LaterText> later = {{IDC_START, ToWide(walking ? walking : "")}};
    DressDialog(window, MakeDressing(0, MainTexts, MainLooks, false, &later));
    KeepLeftToRight(GetDlgItem(window, IDC_SELECTED_PATH)); // a digest line, also in a mirrored window
    // Anchored where the dressing made room for the language's texts.
    AttachLayout(AppInstance, window, NULL, static_cast<int32_t>(std::size(MainLayout)), MainLayout,
                 LayoutKeepMinimumSize);
    OfferSaveAndClear(false);

    HWND progress = GetDlgItem(window, IDC_MAIN_PROGRESS);
    SetUpProgressBar(progress);
    FillAlgorithmBox(GetDlgItem(window, IDC_ALGORITHM));
    DressProgressBar(progress);

    // Questions and walks wait until the window shows and answers.
    PostMessageA(window, MSG_TAKE_COMMAND_LINE, 0, 0);
}

// Set while the walk of the command line's folders runs: its end starts the run.
static bool RunAfterWalk = false;

static void OnSelectionChange(HWND window) {
    if (FileList->GetSelectedEntry(FileNameBuffer)) {
        SetDlgItemTextA(window, IDC_SELECTED_PATH, FileNameBuffer);
    }
}

static void OnClearList(HWND window) {
    Recorded = RecordedWork();
    FileList->ClearEntries();
    SetDlgItemTextA(window, IDC_SELECTED_PATH, "");
    OfferStart(false);
    OfferSaveAndClear(false);
}

// The expansion worker is done and waits for this message to end. A stopped
// walk starts no run: its list is incomplete, and a recording of it is dropped.
static void OnScanDone(HWND window) {
    CloseHandle(ExpandThread);
    ExpandThread = NULL;
    ReleaseListPainting();
    OfferStart(true);
    UpdateMainLook();
    EndScanProgress();
    if (ScanStopped() && RunAfterWalk) {
        RunAfterWalk = false;
        if (!Recorded.check) {
            Recorded = RecordedWork();
        }
    }
    if (RunAfterWalk) {
        RunAfterWalk = false;
        SendMessageA(window, WM_COMMAND, IDC_START, 0);
    }
}

// At most one run: the progress dialog owns it from creation to its end.
static void OnStart(HWND window) {
    // A walk still fills the list: a run now would digest half of it.
    if (ProgressWindow || ExpandThread) {
        return;
    }
    if (!ReapStoppedHashWorker()) {
        if (!Recorded.check) {
            Recorded = RecordedWork(); // a recording waits for no later run
        }
        return;
    }
    // What a finished check found no longer holds once another run changes the
    // list; a check or recording set up for this run has not finished.
    if (Recorded.finished || (Recorded.check && CheckExpectations.empty())) {
        Recorded = RecordedWork();
    }
    HWND dialog = CreateProgramDialog(IDD_PROGRESS, window, ProgressDialogProc, 0);
    // A run that could not start, or has already ended, has destroyed its dialog.
    ProgressWindow = IsWindow(dialog) ? dialog : NULL;
    if (ProgressWindow) {
        OfferSaveAndClear(false);
    } else if (!dialog && !Recorded.check) {
        Recorded = RecordedWork(); // a recording whose run could not begin
    }
}

// A recording set up by PrepareRecording: the folder is walked into the list
// like a dropped one, its run starts after the walk, and its end writes the list.
static void WalkRecordedFolder(HWND window) {
    PendingFolders = FolderQueue::Create(1);
    PendingFolders.Push(Recorded.folder.c_str());
    if (PendingFolders.status != Ok) {
        PendingFolders.Free();
        Recorded = RecordedWork();
        ShowMessage(window, IDS_DROP_NO_MEMORY, MB_TASKMODAL | MB_ICONERROR);
        return;
    }
    StartFolderExpansion(window);
    RunAfterWalk = ExpandThread != NULL;
    if (!RunAfterWalk) {
        Recorded = RecordedWork();
    }
}

// File > Record folder...
static void OnRecordFolder(HWND window) {
    if (PrepareRecording(window)) {
        WalkRecordedFolder(window);
    }
}

// File > Compare folders...
static void OnCompareFolders(HWND window) {
    FolderComparison comparison = {};
    if (AskForComparison(window, comparison)) {
        StartComparison(window,
                        {comparison.original, comparison.copy, comparison.kind, comparison.recordList});
    }
}

// Anything named on the command line starts a run once its folders are
// walked, whatever became of them; a recording walks its folder first.
static void OnTakeCommandLine(HWND window) {
    switch (TakeCommandLine(window)) {
    case CommandLineRun:
        RunAfterWalk = ExpandThread != NULL;
        if (!RunAfterWalk) {
            SendMessageA(window, WM_COMMAND, IDC_START, 0);
        }
        break;
    case CommandLineRecord:
        WalkRecordedFolder(window);
        break;
    case CommandLineIdle:
        break;
    }
}

// A comparison's run is over: a finished one shows its tally. A recording's: a
// finished one writes its list.
static void OnRunEnded(HWND window, bool finished) {
    if (FinishComparison(window, finished) || Recorded.check || Recorded.list.empty()) {
        return;
    }
    if (finished) {
        FinishRecording(window);
    } else {
        Recorded = RecordedWork();
    }
}

static void OnCommand(HWND window, WPARAM wParam) {
    switch (LOWORD(wParam)) {
    case IDC_FILE_LIST:
        if (HIWORD(wParam) == LBN_SELCHANGE) {
            OnSelectionChange(window);
        }
        break;
    case IDC_START:
        OnStart(window);
        break;
    case IDM_EXIT:
        EndMainWindow(window);
        break;
    case IDM_CLEAR_LIST:
        // Greyed while a walk or a run changes the list; a command that comes anyway is ignored.
        if (!ExpandThread && !ProgressWindow) {
            OnClearList(window);
        }
        break;
    case IDCANCEL: // Esc
    case IDM_STOP_SEARCH:
        if (ExpandThread) {
            StopScan();
        }
        break;
    case IDM_CHECK_LIST:
        CheckList(window, NULL);
        break;
    case IDM_UPDATE_LIST:
        UpdateList(window);
        break;
    case IDM_RECORD_FOLDER:
        OnRecordFolder(window);
        break;
    case IDM_COMPARE_FOLDERS:
        OnCompareFolders(window);
        break;
    case IDM_QUICKSUM:
        ShowProgramDialog(IDD_QUICKSUM, window, QuickSumDialogProc, 0);
        break;
    case IDM_SAVE_LIST:
        if (!ExpandThread && !ProgressWindow) {
            SaveList(window);
        }
        break;
    case IDM_COMPARE_CLIPBOARD:
        CompareClipboard(window);
        break;
    case IDM_ABOUT:
        ShowAbout(window);
        break;
    }
}

INT_PTR CALLBACK MainDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == TaskbarButtonMessage) {
        OnTaskbarButtonCreated();
    }
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(window);
        return TRUE;
    case WM_COMMAND:
        OnCommand(window, wParam);
        break;
    case WM_DROPFILES:
        OnDropFiles(window, reinterpret_cast<HDROP>(wParam));
        break;
    case WM_DPICHANGED: // not handled: the dialog manager still hands the controls new fonts
        OnDpiChanged(window, wParam, lParam);
        break;
    // The private messages are reported handled: WM_USER+2 is also
    // DM_REPOSITION to the dialog manager, which would move the window.
    case MSG_SCAN_DONE:
        OnScanDone(window);
        return TRUE;
    case MSG_ADD_ENTRIES:
        AddFoundEntries(reinterpret_cast<FoundEntries*>(lParam));
        return TRUE;
    case MSG_READ_ENTRIES:
        ReadEntryBatch(reinterpret_cast<EntryBatch*>(lParam));
        return TRUE;
    case MSG_REPLACE_ENTRIES:
        // A worker left behind by a run whose dialog is gone no longer owns
        // the list: what it finishes late is dropped, and it sends no more of it.
        if (ProgressWindow) {
            ApplyLineBatch(reinterpret_cast<LineBatch*>(lParam));
        }
        return TRUE;
    case MSG_TAKE_COMMAND_LINE:
        OnTakeCommandLine(window);
        return TRUE;
    case MSG_ADD_NEW_FILES:
        // As with replaced entries, a worker left behind adds nothing.
        if (ProgressWindow) {
            ListNewFiles(*reinterpret_cast<const std::vector<std::string>*>(lParam));
        }
        return TRUE;
    case MSG_RUN_ENDED:
        OnRunEnded(window, wParam != 0);
        return TRUE;
    case WM_TIMER:
        if (wParam == ListPaintTimer) {
            PaintHeldList();
        }
        break;
    case WM_SYSCOMMAND:
        if (IsCloseCommand(wParam)) {
            EndMainWindow(window);
        }
        break;
    case WM_CLOSE:
    case WM_DESTROY:
        EndMainWindow(window);
        break;
    }
    return FALSE;
}
