#include "base/set_caption.h"

#include <windows.h>

#include <stdio.h>

#include "base/app_state.h"
#include "base/load_text.h"

void SetCaption(const char* text) {
    // snprintf cuts a long text to the 127 characters the buffer holds.
    char caption[CaptionBufferSize];
    if (text[0] != '\0') {
        snprintf(caption, sizeof caption, "%s: %s", AppCaption, text);
    } else {
        snprintf(caption, sizeof caption, "%s", AppCaption);
    }
    SendMessageA(MainWindow, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(caption));
}

void SetDialogCaption(HWND dialog, UINT textId) {
    const char* title = LoadText(textId);
    char caption[CaptionBufferSize];
    snprintf(caption, sizeof caption, "%s: %s", AppCaption, title ? title : "");
    SetWindowTextA(dialog, caption);
}
