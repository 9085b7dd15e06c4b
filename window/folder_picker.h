// The standard folder picker, shared by the dialogs that ask for a folder.
#pragma once

#include <windows.h>

#include <string>

// Asks for a folder with the shell's item dialog (folders only), or where the
// system lacks it with the older folder browser, titled by string titleId of
// the language module. folder names where the picker opens, when it names a
// folder; on return it holds the chosen folder in full. False for a cancel or
// a folder whose name the code page cannot hold exactly (it would name another).
// Window thread, with COM set up for it.
bool PickFolder(HWND owner, UINT titleId, std::string& folder);

// Tests choose the folder without the picker: folder is set, true, or false
// for a cancel. Null puts the picker back.
typedef bool (*FolderChoice)(HWND owner, UINT titleId, std::string& folder);
void SetFolderChoice(FolderChoice choose);
