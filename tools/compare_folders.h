// File > Compare folders... and `Digestor.exe /compare`: which original is
// compared with which copy, with what algorithm, and whether the original's
// list is recorded in the same read. The run itself is run/compare_job.h's.
#pragma once

#include <windows.h>

#include <string>

#include "engine/digestor.h"

struct FolderComparison {
    std::string original; // a folder or a file; in full once prepared
    std::string copy;
    DigestKind kind;
    bool record;            // a recorded list of the original, beside it, from the same read
    std::string recordList; // where PrepareComparison puts it; empty without record
};

// Asks with dialog IDD_COMPARE (XXH128 preselected; each side typed or picked
// with the folder picker). Compare goes on as PrepareComparison, with the
// dialog open over its messages: a side refused there can be put right. True
// with comparison prepared, false for a cancel. Window thread, while no walk or
// run is busy.
bool AskForComparison(HWND owner, FolderComparison& comparison);

// Procedure of dialog IDD_COMPARE; lParam of WM_INITDIALOG is the FolderComparison it fills.
INT_PTR CALLBACK CompareDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Makes both sides full paths and names, in a message over owner, a side that
// is neither folder nor file and the same folder twice; asks before it
// replaces a recorded list beside the original (when recording) and the
// entries of the file list, then empties the list. True when the comparison
// may start. Window thread, while no walk or run is busy.
bool PrepareComparison(HWND owner, FolderComparison& comparison);
