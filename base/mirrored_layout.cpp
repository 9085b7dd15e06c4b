#include "base/mirrored_layout.h"

#include <string.h>

namespace {

// DLGTEMPLATEEX starts with dlgVer 1 and signature 0xFFFF, then helpID and exStyle; the classic
// DLGTEMPLATE starts with style, then dwExtendedStyle.
const WORD ExtendedSignature = 0xFFFF;
const size_t ExtendedStyleAtEx = 2 * sizeof(WORD) + sizeof(DWORD);
const size_t ExtendedStyleAtClassic = sizeof(DWORD);

} // namespace

bool ProcessReadsRightToLeft() {
    DWORD layout = 0;
    return GetProcessDefaultLayout(&layout) && (layout & LAYOUT_RTL);
}

std::vector<BYTE> TemplateCopy(HMODULE module, UINT id) {
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), RT_DIALOG);
    HGLOBAL loaded = found ? LoadResource(module, found) : NULL;
    const BYTE* bytes = loaded ? static_cast<const BYTE*>(LockResource(loaded)) : NULL;
    const DWORD size = found ? SizeofResource(module, found) : 0;
    if (!bytes || size < ExtendedStyleAtEx + sizeof(DWORD)) {
        return std::vector<BYTE>();
    }
    // DWORD-aligned, as CreateDialogIndirect wants its template.
    return std::vector<BYTE>(bytes, bytes + size);
}

std::vector<BYTE> MirroredTemplate(HMODULE module, UINT id) {
    std::vector<BYTE> copy = TemplateCopy(module, id);
    if (copy.empty()) {
        return copy;
    }
    WORD signature = 0;
    memcpy(&signature, &copy[sizeof(WORD)], sizeof signature);
    const size_t at = signature == ExtendedSignature ? ExtendedStyleAtEx : ExtendedStyleAtClassic;
    DWORD extended = 0;
    memcpy(&extended, &copy[at], sizeof extended);
    extended |= WS_EX_LAYOUTRTL;
    memcpy(&copy[at], &extended, sizeof extended);
    return copy;
}

void KeepLeftToRight(HWND control) {
    const LONG_PTR rightToLeft = WS_EX_LAYOUTRTL | WS_EX_RTLREADING | WS_EX_RIGHT | WS_EX_LEFTSCROLLBAR;
    const LONG_PTR extended = control ? GetWindowLongPtrW(control, GWL_EXSTYLE) : 0;
    if (!(extended & rightToLeft)) {
        return;
    }
    SetWindowLongPtrW(control, GWL_EXSTYLE, extended & ~rightToLeft);
    SetWindowLongPtrW(control, GWL_STYLE,
                      GetWindowLongPtrW(control, GWL_STYLE) & ~static_cast<LONG_PTR>(ES_RIGHT));
    SetWindowPos(control, NULL, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    InvalidateRect(control, NULL, TRUE);
}
