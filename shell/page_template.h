// The Digests page's dialog template, as the page is made: mirrored (WS_EX_LAYOUTRTL) when the
// language module is written from right to left, so the page flows from the right as Windows
// mirrors its own pages.
#pragma once

#include <windows.h>

#include <vector>

// Whether the system language's module reads from right to left (Arabic, Hebrew, Persian).
bool ShellReadsRightToLeft();

// A copy of dialog template id of module with WS_EX_LAYOUTRTL added to the dialog's extended style;
// empty when the template is missing. The page owns the copy as long as the sheet shows it.
std::vector<BYTE> MirroredTemplate(HMODULE module, UINT id);
