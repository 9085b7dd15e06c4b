#pragma once

#include <windows.h>

// Asks for a file name with the save dialog and writes the file list under its
// heading: 80 hyphens, the title line, 80 hyphens, an empty line, then every
// entry; CR LF line ends, no byte-order mark. The text is written beside the
// chosen file and put in its place only when complete, so a failed save leaves
// an existing file as it was. Tells the owner how it went (IDS_SAVED or IDS_SAVE_FAILED).
void SaveList(HWND owner);

// What SaveList does once it has the file name: writes the list to path. An
// existing file keeps its attributes; false when the file could not be
// written, and path is then as it was, with no temporary file left beside it.
bool WriteListFile(const char* path);

// Writes length bytes to file; WriteFile unless a test has put its own in.
typedef BOOL (*SaveWriteFunction)(HANDLE file, const void* bytes, DWORD length);
void SetSaveWriteFunction(SaveWriteFunction write);
