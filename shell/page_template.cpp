#include "shell/page_template.h"

#include <string.h>

#include "base/language_choice.h"

namespace {

// DLGTEMPLATEEX starts with dlgVer 1 and signature 0xFFFF, then helpID and exStyle; the classic
// DLGTEMPLATE starts with style, then dwExtendedStyle.
const WORD ExtendedSignature = 0xFFFF;
const size_t ExtendedStyleAtEx = 2 * sizeof(WORD) + sizeof(DWORD);
const size_t ExtendedStyleAtClassic = sizeof(DWORD);

} // namespace

bool ShellReadsRightToLeft() { return ReadsRightToLeft(LanguageModuleFor(GetSystemDefaultLangID())); }

std::vector<BYTE> MirroredTemplate(HMODULE module, UINT id) {
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), RT_DIALOG);
    HGLOBAL loaded = found ? LoadResource(module, found) : NULL;
    const BYTE* bytes = loaded ? static_cast<const BYTE*>(LockResource(loaded)) : NULL;
    const DWORD size = found ? SizeofResource(module, found) : 0;
    if (!bytes || size < ExtendedStyleAtEx + sizeof(DWORD)) {
        return std::vector<BYTE>();
    }
    // DWORD-aligned, as CreateDialogIndirect wants its template.
    std::vector<BYTE> copy(bytes, bytes + size);
    WORD signature = 0;
    memcpy(&signature, &copy[sizeof(WORD)], sizeof signature);
    const size_t at = signature == ExtendedSignature ? ExtendedStyleAtEx : ExtendedStyleAtClassic;
    DWORD extended = 0;
    memcpy(&extended, &copy[at], sizeof extended);
    extended |= WS_EX_LAYOUTRTL;
    memcpy(&copy[at], &extended, sizeof extended);
    return copy;
}
