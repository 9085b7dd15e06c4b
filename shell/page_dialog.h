// The Digests page itself: its dialog procedure, its controls and its worker, behind one call that
// makes the property sheet page of a selection.
#pragma once

#include <windows.h>
#include <prsht.h>

#include <string>
#include <vector>

// A page for paths (Explorer's selection, folders included: the page leaves them out), or null. The
// page keeps the DLL loaded until the sheet releases it; a page never added is destroyed by the caller
// (DestroyPropertySheetPage).
HPROPSHEETPAGE CreateDigestsSheetPage(const std::vector<std::wstring>& paths);
