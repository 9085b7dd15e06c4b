// Who the program is and where its wording lies, for the window and the console.
#pragma once

#include <windows.h>

// Fills AppInstance, AppTitle, AppCaption and AppDirectory for the module
// instance. False, with AppDirectory empty, when the module's path does not
// fit a path buffer and its folder is therefore unknown.
bool TakeProgramIdentity(HINSTANCE instance);

// The language module for a system default language, "<identifier>.dll", as
// LanguageModuleFor chooses it.
const char* LanguageModuleName(LANGID systemLanguage);

// Builds directory + "\lang\" + LanguageModuleName(systemLanguage) into path
// (PathBufferSize bytes). False, with path left empty, when it would not fit.
bool BuildLanguagePath(char* path, const char* directory, LANGID systemLanguage);
