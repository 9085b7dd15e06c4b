#include "window/show_message.h"

#include <stdarg.h>
#include <stdio.h>

#include "base/load_text.h"
#include "base/mirrored_layout.h"
#include "window/app_state.h"

UINT MessageReading() { return ProcessReadsRightToLeft() ? MB_RTLREADING | MB_RIGHT : 0; }

int ShowMessage(HWND owner, UINT textId, UINT flags) {
    const char* text = LoadText(textId);
    return MessageBoxA(owner, text ? text : "", AppCaption, flags | MessageReading());
}

int ShowMessage(HWND owner, UINT textId, const char* argument, UINT flags) {
    const char* format = LoadText(textId);
    char message[PathBufferSize + SharedTextSize];
    snprintf(message, sizeof message, format ? format : "%s", argument);
    return MessageBoxA(owner, message, AppCaption, flags | MessageReading());
}

int ShowFormattedMessage(HWND owner, UINT textId, UINT flags, ...) {
    const char* format = LoadText(textId);
    char message[PathBufferSize + SharedTextSize] = "";
    if (format) {
        va_list values;
        va_start(values, flags);
        vsnprintf(message, sizeof message, format, values);
        va_end(values);
    }
    return MessageBoxA(owner, message, AppCaption, flags | MessageReading());
}
