#include "window/main_look.h"

#include <windows.h>

#include <commctrl.h>

#include "base/load_text.h"
#include "res/resource.h"
#include "window/app_state.h"
#include "window/taskbar.h"

namespace {

bool StartOffered = false;
bool ListOffered = false;
bool WasWalking = false;

} // namespace

void OfferStart(bool offer) { StartOffered = offer; }

void OfferSaveAndClear(bool offer) {
    ListOffered = offer;
    UpdateMainLook();
}

void UpdateMainLook() {
    const bool walking = ExpandThread != NULL;
    const bool running = ProgressWindow != NULL;
    EnableWindow(GetDlgItem(MainWindow, IDC_FILE_LIST), !walking && !running);
    EnableWindow(GetDlgItem(MainWindow, IDC_START), StartOffered && !walking && !running);
    if (walking != WasWalking) {
        WasWalking = walking;
        // The line under the list shows the walk's progress (gather/folder_scan.h).
        SetTaskbarState(walking ? TBPF_INDETERMINATE : TBPF_NOPROGRESS);
        SetTextFromLanguage(MainWindow, IDC_START, walking ? IDS_START_EXPANDING : IDS_START);
    }
    HMENU menu = GetMenu(MainWindow);
    // Save and clear only when offered, and never while a walk or a run changes the list.
    UINT state = MF_BYCOMMAND | (ListOffered && !walking && !running ? MF_ENABLED : MF_GRAYED);
    EnableMenuItem(menu, IDM_SAVE_LIST, state);
    EnableMenuItem(menu, IDM_CLEAR_LIST, state);
    EnableMenuItem(menu, IDM_STOP_SEARCH, MF_BYCOMMAND | (walking ? MF_ENABLED : MF_GRAYED));
    // An update needs a finished check of a recorded list; a recording and a comparison fill the list.
    const bool idle = !walking && !running;
    EnableMenuItem(menu, IDM_UPDATE_LIST,
                   MF_BYCOMMAND | (idle && Recorded.check && Recorded.finished ? MF_ENABLED : MF_GRAYED));
    EnableMenuItem(menu, IDM_RECORD_FOLDER, MF_BYCOMMAND | (idle ? MF_ENABLED : MF_GRAYED));
    EnableMenuItem(menu, IDM_COMPARE_FOLDERS, MF_BYCOMMAND | (idle ? MF_ENABLED : MF_GRAYED));
    DrawMenuBar(MainWindow);
}
