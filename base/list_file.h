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

// Reads the list at path into text, in the process code page (FromListBytes:
// UTF-8, or the legacy ANSI code page of lists saved by earlier versions).
// False when it cannot be opened or read.
bool ReadListFile(const char* path, std::string& text);

// How a list's file was written.
enum SaveOutcome {
    SaveDone,   // the new list is under the target name
    SaveFailed, // nothing changed: the old file, if any, is as it was
    SaveAside,  // the old list was moved away and the new one could not take its
                // place: it is kept under another name, which WriteInPlace gives
};

// Writes text, as UTF-8, into a new file beside target and puts it in
// target's place only when complete: an existing target is replaced with
// ReplaceFileA and keeps its attributes and security; a read-only one is left
// alone. Whatever fails, target holds the old list or the new one, never
// neither: when the platform has moved the old list away and the new one
// cannot follow, the new one stays under its temporary name (aside) and no
// temporary file is left otherwise.
SaveOutcome WriteInPlace(const char* target, const std::string& text, std::string& aside);

// The file operations of a save; tests put in their own to make each fail.
typedef BOOL (*SaveWriteFunction)(HANDLE file, const void* bytes, DWORD length);
typedef BOOL (*SaveReplaceFunction)(const char* target, const char* replacement);
typedef BOOL (*SaveMoveFunction)(const char* from, const char* to);
// Null puts the platform's own back.
void SetSaveFunctions(SaveWriteFunction write, SaveReplaceFunction replace, SaveMoveFunction move);
