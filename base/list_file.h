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

// A list written as it grows, for runs that must not hold their lines until the end: the text goes
// into a new file beside target (through a buffer of about a MiB), which Commit puts in target's
// place as WriteInPlace does. A save that is dropped uncommitted (a stop, a failure) removes its
// file, and target stays as it was; a read-only target is never written.
class ListSave {
public:
    explicit ListSave(const char* target);
    ~ListSave();
    ListSave(const ListSave&) = delete;
    ListSave& operator=(const ListSave&) = delete;

    // Appends text, in the process code page, as UTF-8; false once anything failed.
    bool Write(const std::string& text);
    // The new file's full path while it is there; empty when it could not be made.
    const std::string& Temporary() const { return m_temporary; }
    // Puts the file in target's place: SaveFailed when anything failed (the file is gone),
    // SaveAside as WriteInPlace says.
    SaveOutcome Commit(std::string& aside);

private:
    bool Flush();
    void Drop();

    std::string m_target;
    std::string m_temporary;
    HANDLE m_file;
    std::string m_buffer; // UTF-8 not yet written
    bool m_failed;
};

// The file operations of a save; tests put in their own to make each fail.
typedef BOOL (*SaveWriteFunction)(HANDLE file, const void* bytes, DWORD length);
typedef BOOL (*SaveReplaceFunction)(const char* target, const char* replacement);
typedef BOOL (*SaveMoveFunction)(const char* from, const char* to);
// Null puts the platform's own back.
void SetSaveFunctions(SaveWriteFunction write, SaveReplaceFunction replace, SaveMoveFunction move);
