// Process-wide state that both programs have: who the program is and where
// its wording lies. The start-up fills it; later every thread reads it.
#pragma once

#include <windows.h>

#include "base/path_buffer.h"

// Captions and titles, terminator included.
const int CaptionBufferSize = 128;
// Capacity of a text loaded from the language module, terminator included.
const int SharedTextSize = 1024;

extern HINSTANCE AppInstance;              // the program's own module: templates, icon IDI_APP
extern char AppTitle[CaptionBufferSize];   // "Digestor v" and the version
extern char AppCaption[CaptionBufferSize]; // "Digestor": message box titles, first part of captions
extern char AppDirectory[PathBufferSize];  // folder of the executable, no trailing separator
extern HMODULE LanguageModule;             // string table and menu IDR_MAIN_MENU; null once released

// The text loaded last by LoadText on the calling thread. The window thread and
// the workers load texts, so each thread has its own buffer: a text stays valid
// until the same thread loads the next one.
extern thread_local char SharedText[SharedTextSize];
