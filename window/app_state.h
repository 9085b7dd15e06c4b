// Process-wide state of the window program: one of each for the life of the
// process, beside what both programs have (base/program_state.h). The main
// window fills it; the workers read it. Unless a comment says otherwise, only
// the window thread writes an item.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "base/check_tally.h"
#include "base/digest_file.h"
#include "base/listed_paths.h"
#include "base/program_state.h"
#include "base/recorded_list.h"
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
// digest run. Written by the window thread only while no run exists, or while
// the job waits for it to append the NEW files of a recorded list.
struct CheckExpectation {
    DigestKind algorithm;
    std::string digest;
    bool hasRecord;    // the list recorded the file's size and last-write time
    FileRecord record; // what it recorded
    int entry;         // the list's entry, numbered as ReadListText numbers them; -1 for a NEW file
    bool byLength;     // as ListEntry's: the run's KindChoice decides the algorithm
};
extern std::vector<CheckExpectation> CheckExpectations;
// The check's tally: notChecked and recorded set by the check, the verdicts
// counted by the run's worker.
extern CheckTally CheckResult;

// What a run found of one entry, kept for a recorded list.
struct EntryFinding {
    FileOutcome outcome = FileStopped; // FileStopped also for an entry the run left alone
    Verdict verdict = VerdictOK;       // in a check
    std::string path;
    std::string digest;
    FileRecord record = {}; // size and last-write time of the file read
};

// The recorded list at work: the one the last check read, which File >
// Update list rewrites after a finished check, or the one File > Record
// folder... writes after its run. The window thread sets it up before the
// run and changes it only while none is busy; the job reads it as it starts
// and hands over what it found with the end of the run. Empty list: none.
struct RecordedWork {
    bool check = false;    // a check of list (else a recording into it)
    bool finished = false; // its run ran to its end
    std::string list;      // full path
    std::string text;      // a check's list as it read it
    RecordHeading heading = {};
    ListedPaths listed;                         // a check's paths of the list's entries, in full
    std::vector<CheckExpectation> expectations; // a check's, kept from the run
    std::string folder;                         // a recording's, in full
    std::vector<EntryFinding> found;            // by list entry
};
extern RecordedWork Recorded;
