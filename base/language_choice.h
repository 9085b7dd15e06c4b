// Which language module a system default language takes: the module of its
// full identifier, else that of its primary language, else English. Standard
// C++ only, so the rule is tested natively as a table.
#pragma once

#include <stdint.h>

// The identifiers that have a module of their own, lang\<identifier>.dll, in rising order.
extern const uint16_t LanguageModules[];
extern const int LanguageModuleCount;

const uint16_t EnglishModule = 1033;

// The module for languageId (a Windows LANGID): its own where there is one;
// else a rule for the languages that share a primary language (Serbian and
// Croatian, the Chinese scripts, the Portuguese of other regions); else the
// one module of its primary language; else English.
uint16_t LanguageModuleFor(uint16_t languageId);

// Whether the module's language is written from right to left (Arabic, Hebrew, Persian), so that
// its windows are mirrored.
bool ReadsRightToLeft(uint16_t module);
