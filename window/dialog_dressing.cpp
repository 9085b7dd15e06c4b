#include "window/dialog_dressing.h"

#include "base/load_text.h"
#include "base/text_fit.h"
#include "companion/varnolib.h"
#include "window/app_state.h"
#include "window/program_icon.h"
#include "window/set_caption.h"

void DressDialog(HWND dialog, const DialogDressing& dressing) {
    if (dressing.captionId != 0) {
        SetDialogCaption(dialog, dressing.captionId);
    }
    for (size_t k = 0; k < dressing.textCount; ++k) {
        SetTextFromLanguage(dialog, dressing.texts[k].controlId, dressing.texts[k].textId);
    }
    StyleWindow(dialog, StyleDialog, StyleWithChildren, StyleNoOptions);
    SetCaption("");
    for (size_t k = 0; k < dressing.lookCount; ++k) {
        StyleWindow(GetDlgItem(dialog, dressing.looks[k].controlId), dressing.looks[k].kind, StyleAlone,
                    StyleNoOptions);
    }
    // The language's texts in the look's fonts: now the room they need is known.
    FitTexts(dialog, dressing.later ? *dressing.later : std::vector<LaterText>(), FitGrowsWindow);
    SetProgramIcon(dialog);
    if (dressing.overMainWindow) {
        AttachDialog(dialog, MainWindow);
    }
}
