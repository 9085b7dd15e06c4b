// Process-wide state of the program: one of each for the life of the process.
// The start-up and the main window fill it; the workers read it. Unless a
// comment says otherwise, only the window thread writes an item.
#pragma once

#include <windows.h>

#include "gather/folder_queue.h"

class GuiListbox;

// A path or list line of at most 519 characters plus its terminator.
const int PathBufferSize = 520;
// Captions and titles, terminator included.
const int CaptionBufferSize = 128;
// Capacity of a text loaded from the language module, terminator included.
const int SharedTextSize = 1024;

extern HINSTANCE AppInstance;              // the program's own module: templates, icon 3000
extern char AppTitle[CaptionBufferSize];   // "Digestor v3.3.0.286"
extern char AppCaption[CaptionBufferSize]; // "Digestor": message box titles, first part of captions
extern char AppDirectory[PathBufferSize];  // folder of the executable, no trailing separator
extern HMODULE LanguageModule;             // string table and menu 2000; null once released

// The text loaded last by LoadText on the calling thread. The window thread and
// both workers load texts, so each thread has its own buffer: a text stays valid
// until the same thread loads the next one.
extern thread_local char SharedText[SharedTextSize];

extern HWND MainWindow;                     // receiver of SetCaption and of the workers' messages
extern HMENU MainMenu;                      // menu 2000 of the language module; null once destroyed
extern GuiListbox* FileList;                // wrapper of the main window's file list
extern char FileNameBuffer[PathBufferSize]; // selected entry, dropped item or entry being digested
extern HWND ProgressWindow;                 // the modeless progress dialog; null while none is open
extern HANDLE HashThread;                   // the hash worker; null while none runs
extern HANDLE ExpandThread;                 // the folder-expansion worker; null while none runs
extern FolderQueue PendingFolders;          // folders of the last drop that wait to be walked
