#pragma once

#include <windows.h>

#include <string>

#include "base/list_file.h"

// Asks for a file name with the save dialog and writes the file list under its
// heading (ListHeading), then every entry; CR LF line ends, no byte-order
// mark. The file is written with WriteInPlace, so a failed save leaves an
// existing file as it was. Tells the owner how it went (IDS_SAVED, IDS_SAVE_FAILED or
// IDS_SAVE_KEPT).
void SaveList(HWND owner);

// What SaveList does once it has the file name: writes the list to path. An
// existing file keeps its attributes; SaveFailed when the file could not be
// written, and path is then as it was, with no temporary file left beside it;
// SaveAside with the new list kept at aside (WriteInPlace).
SaveOutcome WriteListFile(const char* path, std::string& aside);
