// File > Record folder...: a recorded list of a folder, written beside it
// after a run over its files.
#pragma once

#include <windows.h>

#include <string>

#include "engine/digestor.h"

// Where the recorded list of folder (a full path) lies: beside it, named
// after it, the algorithm's name in lower case as its extension
// (D:\Photos.sha256); a drive's root holds its own, named after the drive
// (C:\C.sha256).
std::string RecordedListPath(const std::string& folder, DigestKind kind);

// Asks for the folder (window/folder_picker.h), then goes on as
// PrepareFolderRecording. Window thread, while no walk or run is busy.
bool PrepareRecording(HWND owner);

// Sets up the recording of folder (any path; one that is no folder is named
// in a message): asks whether to replace a recorded list already there and
// the entries of the file list, clears the list and sets up Recorded with
// the selected algorithm. True when the caller is to walk Recorded.folder
// into the list and run. Window thread, while no walk or run is busy.
bool PrepareFolderRecording(HWND owner, const std::string& folder);

// After the recording's run ran to its end: writes the list (every file
// digested, the list itself aside) in place and says how it went, naming how
// many files could not be read and are not in it. Forgets the recording.
void FinishRecording(HWND owner);
