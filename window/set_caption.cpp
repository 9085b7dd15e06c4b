#include "window/set_caption.h"

#include <windows.h>

#include <string>

#include "base/code_page.h"
#include "base/load_text.h"
#include "window/app_state.h"

void SetCaption(const char* text) {
    std::string caption = AppCaption;
    if (text[0] != '\0') {
        caption = caption + ": " + text;
    }
    // Cut to the 127 characters the caption buffers hold, never inside a character.
    char shown[CaptionBufferSize];
    CopyCut(shown, sizeof shown, caption.c_str());
    SendMessageA(MainWindow, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(shown));
}

void SetDialogCaption(HWND dialog, UINT textId) {
    const char* title = LoadText(textId);
    char caption[CaptionBufferSize];
    CopyCut(caption, sizeof caption, (std::string(AppCaption) + ": " + (title ? title : "")).c_str());
    SetWindowTextA(dialog, caption);
}
