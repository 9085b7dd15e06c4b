#include "window/show_message.h"

#include "window/app_state.h"
#include "base/load_text.h"

int ShowMessage(HWND owner, UINT textId, UINT flags) {
    const char* text = LoadText(textId);
    return MessageBoxA(owner, text ? text : "", AppCaption, flags);
}
