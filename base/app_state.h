// Process-wide state of the program: one of each for the life of the process.
// The start-up and the main window fill it; the workers read it. Unless a
// comment says otherwise, only the window thread writes an item.
#pragma once

#include <windows.h>

#include "base/path_buffer.h"

class GuiListbox;

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
// both workers load texts, so each thread has its own buffer: a text stays valid
// until the same thread loads the next one.
extern thread_local char SharedText[SharedTextSize];

extern HWND MainWindow;                     // receiver of SetCaption and of the workers' messages
extern HMENU MainMenu;                      // menu IDR_MAIN_MENU of the language module; null once destroyed
extern GuiListbox* FileList;                // wrapper of the main window's file list
extern char FileNameBuffer[PathBufferSize]; // selected entry, dropped item or entry being digested
extern HWND ProgressWindow;                 // the modeless progress dialog; null while none is open
extern HANDLE HashThread;                   // the hash worker; null while none runs
extern HANDLE ExpandThread;                 // the folder-expansion worker; null while none runs
