#include "base/load_text.h"

#include "base/program_state.h"

const char* LoadText(UINT id) {
    if (LoadStringA(LanguageModule, id, SharedText, SharedTextSize) == 0) {
        return nullptr;
    }
    return SharedText;
}

void SetTextFromLanguage(HWND dialog, int controlId, UINT textId) {
    const char* text = LoadText(textId);
    SetDlgItemTextA(dialog, controlId, text ? text : "");
}
