// How each of the program's dialogs dresses itself while it initialises:
// caption, texts from the language module, the companion library's look and
// the program's icon. Each dialog describes its own in a small table.
#pragma once

#include <windows.h>

#include <stddef.h>

#include <vector>

#include "base/text_fit.h"

struct ControlText {
    int controlId;
    UINT textId; // string of the language module
};

struct ControlLook {
    int controlId;
    int kind; // StyleKind of the companion library
};

struct DialogDressing {
    UINT captionId; // "AppCaption: string"; 0 leaves the caption to SetCaption
    const ControlText* texts;
    size_t textCount;
    const ControlLook* looks;
    size_t lookCount;
    bool overMainWindow;                 // placed over the main window, inside the screen
    const std::vector<LaterText>* later; // texts the controls show later, for the fit; may be null
};

template <size_t TextCount, size_t LookCount>
DialogDressing MakeDressing(UINT captionId, const ControlText (&texts)[TextCount],
                            const ControlLook (&looks)[LookCount], bool overMainWindow,
                            const std::vector<LaterText>* later = NULL) {
    DialogDressing dressing = {captionId, texts, TextCount, looks, LookCount, overMainWindow, later};
    return dressing;
}

// Window thread, on WM_INITDIALOG; makes room for the texts, those shown later too (base/text_fit.h).
// Also sets the main window's caption back to AppCaption alone.
void DressDialog(HWND dialog, const DialogDressing& dressing);

// Whether WM_SYSCOMMAND's wParam is the close command; its low four bits are
// the platform's own.
inline bool IsCloseCommand(WPARAM wParam) { return (wParam & 0xFFF0) == SC_CLOSE; }
