#include "base/language_choice.h"

namespace {

// Windows' LANGID: the primary language in the low ten bits, the sublanguage above them.
uint16_t Primary(uint16_t id) { return static_cast<uint16_t>(id & 0x3FF); }

// Identifiers whose primary language another module claims too: the module of each.
struct LanguageRule {
    uint16_t language;
    uint16_t module;
};
const LanguageRule Regions[] = {
    // Chinese: Hong Kong, Macao and the Traditional neutral take Traditional; Singapore and the
    // Simplified neutral Simplified.
    {0x0C04, 1028},
    {0x1404, 1028},
    {0x7C04, 1028},
    {0x1004, 2052},
    {0x0004, 2052},
    // Croatian (Croatia, Bosnia and Herzegovina): primary 0x1A, which Serbian and Bosnian share.
    {0x001A, 1050},
    {0x101A, 1050},
    // Serbian in Latin and Cyrillic letters, of every region, and its neutrals.
    {0x081A, 9242},
    {0x0C1A, 9242},
    {0x181A, 9242},
    {0x1C1A, 9242},
    {0x241A, 9242},
    {0x281A, 9242},
    {0x2C1A, 9242},
    {0x301A, 9242},
    {0x6C1A, 9242},
    {0x701A, 9242},
    {0x7C1A, 9242},
};

// Primary languages with more than one module: the one an identifier without a rule takes.
// Bosnian shares 0x1A with Serbian and Croatian but has no module: English.
const LanguageRule PrimaryDefaults[] = {
    {0x16, 2070},          // Portuguese of Africa and Asia: that of Portugal
    {0x04, 2052},          // Chinese
    {0x1A, EnglishModule}, // Bosnian
};

} // namespace

const uint16_t LanguageModules[] = {
    1025, // Arabic
    1026, // Bulgarian
    1027, // Catalan
    1028, // Chinese Traditional
    1029, // Czech
    1030, // Danish
    1031, // German
    1032, // Greek
    1033, // English
    1035, // Finnish
    1036, // French
    1037, // Hebrew
    1038, // Hungarian
    1040, // Italian
    1041, // Japanese
    1042, // Korean
    1043, // Dutch
    1044, // Norwegian Bokmål
    1045, // Polish
    1046, // Portuguese of Brazil
    1048, // Romanian
    1049, // Russian
    1050, // Croatian
    1051, // Slovak
    1053, // Swedish
    1054, // Thai
    1055, // Turkish
    1057, // Indonesian
    1058, // Ukrainian
    1060, // Slovenian
    1061, // Estonian
    1062, // Latvian
    1063, // Lithuanian
    1065, // Persian
    1066, // Vietnamese
    1081, // Hindi
    2052, // Chinese Simplified
    2070, // Portuguese of Portugal
    3082, // Spanish (international sort)
    9242, // Serbian in Latin letters (Serbia)
};
const int LanguageModuleCount = sizeof LanguageModules / sizeof LanguageModules[0];

uint16_t LanguageModuleFor(uint16_t languageId) {
    for (uint16_t module : LanguageModules) {
        if (module == languageId) {
            return module;
        }
    }
    for (const LanguageRule& rule : Regions) {
        if (rule.language == languageId) {
            return rule.module;
        }
    }
    const uint16_t primary = Primary(languageId);
    for (const LanguageRule& rule : PrimaryDefaults) {
        if (rule.language == primary) {
            return rule.module;
        }
    }
    for (uint16_t module : LanguageModules) {
        if (Primary(module) == primary) {
            return module;
        }
    }
    return EnglishModule;
}

bool ReadsRightToLeft(uint16_t module) {
    const uint16_t RightToLeftPrimaries[] = {0x01, 0x0D, 0x29}; // Arabic, Hebrew, Persian
    for (uint16_t primary : RightToLeftPrimaries) {
        if (Primary(module) == primary) {
            return true;
        }
    }
    return false;
}
