// Which language module a system language takes, by Windows' language identifiers.
#include <gtest/gtest.h>

#include "base/language_choice.h"

namespace {

TEST(LanguageChoice, FollowsTheRule) {
    const struct {
        uint16_t language;
        uint16_t module;
        const char* what;
    } rows[] = {
        {0x040C, 1036, "French: its own"},
        {0x0409, 1033, "English (United States): its own"},
        {0x0411, 1041, "Japanese: its own"},
        {0x0401, 1025, "Arabic (Saudi Arabia): its own"},
        {0x0416, 1046, "Portuguese (Brazil): its own"},
        {0x0816, 2070, "Portuguese (Portugal): its own"},
        {0x080A, 3082, "Spanish (Mexico): the primary's"},
        {0x040A, 3082, "Spanish, traditional sort: the primary's"},
        {0x0C0C, 1036, "French (Canada): the primary's"},
        {0x0810, 1040, "Italian (Switzerland): the primary's"},
        {0x0814, 1044, "Norwegian Nynorsk: Norwegian's"},
        {0x0C01, 1025, "Arabic (Egypt): the primary's"},
        {0x0809, 1033, "English (United Kingdom): the primary's"},
        {0x0407, 1031, "German (Germany)"},
        {0x0807, 1031, "German (Switzerland)"},
        {0x0C07, 1031, "German (Austria)"},
        {0x1007, 1031, "German (Luxembourg)"},
        {0x1407, 1031, "German (Liechtenstein)"},
        {0x241A, 9242, "Serbian, Latin (Serbia): its own"},
        {0x281A, 9242, "Serbian, Cyrillic (Serbia)"},
        {0x0C1A, 9242, "Serbian, Cyrillic (Serbia and Montenegro)"},
        {0x081A, 9242, "Serbian, Latin (Serbia and Montenegro)"},
        {0x2C1A, 9242, "Serbian, Latin (Montenegro)"},
        {0x1C1A, 9242, "Serbian, Cyrillic (Bosnia and Herzegovina)"},
        {0x041A, 1050, "Croatian (Croatia): its own"},
        {0x101A, 1050, "Croatian (Bosnia and Herzegovina)"},
        {0x141A, 1033, "Bosnian, Latin: no module, not Serbian's nor Croatian's"},
        {0x0404, 1028, "Chinese (Taiwan): its own"},
        {0x0C04, 1028, "Chinese (Hong Kong): Traditional"},
        {0x1404, 1028, "Chinese (Macao): Traditional"},
        {0x0804, 2052, "Chinese (PRC): its own"},
        {0x1004, 2052, "Chinese (Singapore): Simplified"},
        {0x0441, 1033, "Swahili: none"},
        {0x040F, 1033, "Icelandic: none"},
        {0x0000, 1033, "neutral: none"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(LanguageModuleFor(row.language), row.module) << row.what;
    }
}

TEST(LanguageChoice, EveryModuleIsItsOwnChoice) {
    for (int k = 0; k < LanguageModuleCount; ++k) {
        EXPECT_EQ(LanguageModuleFor(LanguageModules[k]), LanguageModules[k]);
    }
}

} // namespace

TEST(LanguageChoice, RightToLeftAreArabicHebrewPersian) {
    int mirrored = 0;
    for (int k = 0; k < LanguageModuleCount; ++k) {
        mirrored += ReadsRightToLeft(LanguageModules[k]);
    }
    EXPECT_EQ(mirrored, 3);
    EXPECT_TRUE(ReadsRightToLeft(1025) && ReadsRightToLeft(1037) && ReadsRightToLeft(1065));
    EXPECT_FALSE(ReadsRightToLeft(1033) || ReadsRightToLeft(1041) || ReadsRightToLeft(1081));
}
