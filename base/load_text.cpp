#include "base/load_text.h"

#include "base/program_state.h"
#include "res/resource.h"

const char* LoadText(UINT id) {
    if (LoadStringA(LanguageModule, id, SharedText, SharedTextSize) == 0) {
        return nullptr;
    }
    return SharedText;
}

std::string LoadVerdictWord(Verdict verdict) {
    // By Verdict.
    const UINT ids[] = {IDS_VERDICT_OK,         IDS_VERDICT_FAILED,    IDS_VERDICT_MISSING,
                        IDS_VERDICT_READ_ERROR, IDS_VERDICT_CORRUPTED, IDS_VERDICT_MODIFIED,
                        IDS_VERDICT_NEW};
    const char* word = LoadText(ids[verdict]);
    return word ? word : VerdictText(verdict);
}

void SetTextFromLanguage(HWND dialog, int controlId, UINT textId) {
    const char* text = LoadText(textId);
    SetDlgItemTextA(dialog, controlId, text ? text : "");
}
