#pragma once

#include <windows.h>

#include <string>

#include "base/check_tally.h"

// The string id of the language module, in the calling thread's SharedText
// (cut to 1023 characters). Null when the module has no such string; callers
// show null as the empty text. The text is overwritten by the same thread's
// next LoadText, so a caller that keeps it copies it.
const char* LoadText(UINT id);

// The word a check's verdict line begins with, in the module's language (OK,
// FAILED, ...; the English word when the module lacks it).
std::string LoadVerdictWord(Verdict verdict);

// Sets control controlId of dialog to string textId, the empty text when the
// module lacks it.
void SetTextFromLanguage(HWND dialog, int controlId, UINT textId);
