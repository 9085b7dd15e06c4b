// The Digestor menu in the context menu of files, folders and drives (IShellExtInit, IContextMenu).
#pragma once

#include <windows.h>

// A new menu extension asked for riid; its count goes with the answer.
HRESULT CreateDigestorMenu(REFIID riid, void** object);
