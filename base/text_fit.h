// Room for every control's text: after a dialog takes its language's texts, a label, button, check
// box or group title whose text is wider than the control is widened (a label with room for more
// lines wraps instead) and what stands to its right in the same band moves along. A dialog of its own
// grows to hold it all; a property sheet's page, whose size is the sheet's, keeps its size: a band
// that would run past its edge takes the room from a field in it (an edit, a bar, a list), and a
// label that may wrap grows by the lines it needs, taken from the tallest field. The font stays as
// it is. The window's dialogs and the Explorer extension's page share it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// A text a control shows only later (a readout during a run, a status line): room is made for it
// as for the text the control has now.
struct LaterText {
    int controlId;
    std::wstring text;
};

enum FitRoom {
    FitGrowsWindow,     // a dialog of its own
    FitKeepsWindowSize, // a page, sized by its sheet
};

// Window thread, once the texts are set (DressDialog calls it; so does the extension's page).
void FitTexts(HWND dialog, const std::vector<LaterText>& later, FitRoom room);

// The width in pixels control needs for text in its own font, with a button's margins, a check
// box's glyph or a group box's inset; 0 for a control that shows no text. A label that wraps needs
// only the width at which text fits its height.
int NeededWidth(HWND control, const std::wstring& text);
