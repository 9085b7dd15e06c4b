// Room for every control's text: after a dialog takes its language's texts, a label, button, check
// box or group title whose text is wider than the control is widened (a label with room for more
// lines wraps instead), what stands to its right in the same band moves along, and the dialog grows
// to hold it all. The font stays as it is.
#pragma once

#include <windows.h>

// Window thread, once the texts are set (DressDialog calls it).
void FitTexts(HWND dialog);

// The width in pixels control needs for its text in its own font, with a button's margins, a check
// box's glyph or a group box's inset; 0 when it shows no text. A label that wraps needs only the
// width at which its text fits its height.
int NeededWidth(HWND control);
