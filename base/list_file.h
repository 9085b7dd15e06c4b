// The saved list: its lines and its file, written the same way by the window's
// save command and by the console.
#pragma once

#include <windows.h>

#include <string>

// The heading of a saved list: 80 hyphens, 17 spaces, AppTitle, " - " and
// heading (string IDS_SAVE_HEADING; null is the empty text), 80 hyphens, an
// empty line; CR LF line ends.
std::string ListHeading(const char* heading);

// "digest <- name -> path", the line a digested file gets.
std::string ResultLine(const std::string& digest, const char* name, const char* path);

// The line of a file that could not be opened or read, from the language's
// format (string IDS_OPEN_FAILED: algorithm name, then path).
std::string FailureLine(const char* format, const char* name, const char* path);

// Writes text into a new file beside target and puts it in target's place only
// when complete: an existing target is replaced with ReplaceFileA and keeps its
// attributes and security; a read-only one is left alone. False when anything
// failed; target is then as it was, with no temporary file left beside it.
bool WriteInPlace(const char* target, const std::string& text);

// Writes length bytes to file; WriteFile unless a test has put its own in.
typedef BOOL (*SaveWriteFunction)(HANDLE file, const void* bytes, DWORD length);
void SetSaveWriteFunction(SaveWriteFunction write);
