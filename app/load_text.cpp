#include "app/load_text.h"

#include "app/app_state.h"

const char* LoadText(UINT id) {
    if (LoadStringA(LanguageModule, id, SharedText, SharedTextSize) == 0) {
        return nullptr;
    }
    return SharedText;
}
