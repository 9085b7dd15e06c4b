#pragma once

#include <windows.h>

// The language module for a system default language: "1031.dll" for every
// German (any sublanguage), "1033.dll" for everything else.
const char* LanguageModuleName(LANGID systemLanguage);

// Builds directory + "\lang\" + LanguageModuleName(systemLanguage) into path
// (PathBufferSize bytes). False, with path left empty, when it would not fit.
bool BuildLanguagePath(char* path, const char* directory, LANGID systemLanguage);

// The whole start-up: fills the process-wide state, lets the companion
// library check and start itself, loads the language module and runs the
// main window modally. Returns the exit code: 1 after the main window closed,
// 0 when the library refuses or the language module is missing, -1 when the
// main window cannot be created.
int RunDigestor(HINSTANCE instance);
