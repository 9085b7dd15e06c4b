// The wording of the extension: the program's language modules, lang\1031.dll or lang\1033.dll beside
// the DLL, chosen by the system's language as the program chooses. Explorer's narrow code page is not
// the programs' UTF-8, so every text here is UTF-16.
#pragma once

#include <windows.h>

#include <string>

// Maps the language module as a data file (nothing in it runs); null when it is missing. The caller
// frees it with FreeLibrary.
HMODULE LoadShellLanguage();

// String id of module; the empty text when module is null or lacks it.
std::wstring ShellText(HMODULE module, UINT id);

// Whether the system language's module reads from right to left (Arabic, Hebrew, Persian).
bool ShellReadsRightToLeft();
