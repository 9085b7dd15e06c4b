#pragma once

#include <windows.h>

// The MB_ flags of the process's reading order: right-aligned, right-to-left reading where the
// language module mirrors the windows (app/startup.cpp), none otherwise. Every box adds them.
UINT MessageReading();

// Shows string textId of the language module (the empty text when it is
// missing) in a message box titled AppCaption with the given owner (may be
// null) and MB_ flags. Returns the button the user chose.
int ShowMessage(HWND owner, UINT textId, UINT flags);

// The same for a string with one %s, filled with argument (a path or other
// text of the user's, never read as a format); argument alone when the
// module lacks the string.
int ShowMessage(HWND owner, UINT textId, const char* argument, UINT flags);

// The same for a string with several placeholders (%s, %d), filled in order
// with the values after flags; the empty text when the module lacks it.
int ShowFormattedMessage(HWND owner, UINT textId, UINT flags, ...);
