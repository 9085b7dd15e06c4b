// Process-wide state of the window program: one of each for the life of the
// process, beside what both programs have (base/program_state.h). The main
// window fills it; the workers read it. Unless a comment says otherwise, only
// the window thread writes an item.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "base/check_tally.h"
#include "base/program_state.h"
#include "engine/digestor.h"

class GuiListbox;

extern HWND MainWindow;                     // receiver of SetCaption and of the workers' messages
extern HMENU MainMenu;                      // menu IDR_MAIN_MENU of the language module; null once destroyed
extern GuiListbox* FileList;                // wrapper of the main window's file list
extern char FileNameBuffer[PathBufferSize]; // the selected entry, shown below the list
extern HWND ProgressWindow;                 // the modeless progress dialog; null while none is open
extern HANDLE HashThread;                   // the hash worker; null while none runs
extern HANDLE ExpandThread;                 // the folder-expansion worker; null while none runs

// A check of files against a list: what the file of each entry must digest
// to, in list order, set by the check before its run starts; empty for a
// digest run. Written by the window thread only while no run exists.
struct CheckExpectation {
    DigestKind algorithm;
    std::string digest;
};
extern std::vector<CheckExpectation> CheckExpectations;
// The check's tally: notChecked counted by the check (lines of the list it
// could not take), the verdicts by the run's worker.
extern CheckTally CheckResult;
