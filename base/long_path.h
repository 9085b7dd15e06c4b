// Paths as the platform takes them literally. A path the program shows and
// keeps is narrow text (C:\photos\a.jpg); every call that opens, searches or
// tests a path gets its long form (\\?\C:\photos\a.jpg), which lifts the
// 260-character limit, keeps a name's trailing dot or space and never turns
// a file called nul.txt or aux.h into a device.
#pragma once

#include <windows.h>

#include <string>

// The full form of path, as narrow text to show and to keep: made absolute
// against the current folder, "." and ".." taken out, separators made
// backslashes; names are otherwise kept exactly as written.
std::string FullPath(const std::string& path);

// The long form of path for the wide calls. A path already in a device or
// long form (\\.\, \\?\) is taken as it is.
std::wstring LongPath(const std::string& path);
// The same for a path already in UTF-16 (the Explorer extension's, whose process code page is not
// the programs' UTF-8).
std::wstring LongPath(const std::wstring& path);

// GetFileAttributesW of the long form; INVALID_FILE_ATTRIBUTES when there is
// nothing there.
DWORD PathAttributes(const std::string& path);

// The folder of a full path: what comes before its last backslash.
std::string FolderOf(const std::string& path);

// Whether two full paths name the same place as Windows compares names:
// without regard to case.
bool SamePath(const std::string& one, const std::string& other);
