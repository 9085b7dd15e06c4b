// A right-to-left layout as Windows makes its own: dialogs made from a mirrored copy of their
// template (an owned dialog takes no mirroring from the process's default layout), and the controls
// that show digests, paths and algorithm names kept left to right inside it.
#pragma once

#include <windows.h>

#include <vector>

// Whether the process lays its windows out from the right (SetProcessDefaultLayout).
bool ProcessReadsRightToLeft();

// A copy of dialog template id of module, as CreateDialogIndirect takes it; empty when the template is
// missing.
std::vector<BYTE> TemplateCopy(HMODULE module, UINT id);

// A copy of dialog template id of module with WS_EX_LAYOUTRTL added to the dialog's extended style;
// empty when the template is missing. The dialog made from it needs the copy only while it is made.
std::vector<BYTE> MirroredTemplate(HMODULE module, UINT id);

// Lays control out and reads its text from the left again, inside a mirrored dialog: for an edit
// field or a box whose lines are digests and paths. Nothing changes outside a mirrored dialog.
void KeepLeftToRight(HWND control);
