// The Digests page in the Properties of files (IShellExtInit, IShellPropSheetExt).
#pragma once

#include <windows.h>

// A new page extension asked for riid; its count goes with the answer.
HRESULT CreateDigestsPage(REFIID riid, void** object);
