#include "app/show_message.h"

#include "app/app_state.h"
#include "app/load_text.h"

int ShowMessage(HWND owner, UINT textId, UINT flags) {
    const char* text = LoadText(textId);
    return MessageBoxA(owner, text ? text : "", AppCaption, flags);
}
