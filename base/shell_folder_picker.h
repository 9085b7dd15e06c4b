// The standard folder picker, for the window's dialogs and the Explorer extension's commands alike:
// the shell's file dialog picking folders, or, where that is missing, the older folder browser.
#pragma once

#include <windows.h>

#include <string>

// Asks for a file-system folder in a modal picker owned by owner, titled title, opening in
// startFolder when that names a folder. S_OK with the folder's full path in chosen;
// HRESULT_FROM_WIN32(ERROR_CANCELLED) when the user cancels; another failure when no picker shows or
// the picked item has no file-system path. Runs COM on the calling thread for as long as the picker
// shows, if it did not run there already.
HRESULT ShowFolderPicker(HWND owner, const std::wstring& title, const std::wstring& startFolder,
                         std::wstring& chosen);
