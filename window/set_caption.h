#pragma once

#include <windows.h>

// Sets the main window's caption to "AppCaption: text", or to AppCaption alone
// when text is empty. text is not null. Window thread only.
void SetCaption(const char* text);

// Sets dialog's caption to "AppCaption: " and string textId of the language
// module (the empty text when it is missing), cut to 127 characters.
void SetDialogCaption(HWND dialog, UINT textId);
