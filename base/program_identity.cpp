#include "base/program_identity.h"

#include <shlwapi.h>

#include <string.h>

#include <string>
#include <vector>

#include "base/language_choice.h"
#include "base/program_state.h"
#include "res/version.h"

bool TakeProgramIdentity(HINSTANCE instance) {
    // A module path of 520 characters or more comes back cut (or fails).
    DWORD length = GetModuleFileNameA(instance, AppDirectory, PathBufferSize);
    bool directoryKnown = length != 0 && length < static_cast<DWORD>(PathBufferSize);
    if (directoryKnown) {
        PathRemoveFileSpecA(AppDirectory);
    } else {
        AppDirectory[0] = '\0';
    }
    wsprintfA(AppTitle, "%s v%s", "Digestor", DIGESTOR_VERSION_TEXT);
    wsprintfA(AppCaption, "%s", "Digestor");
    AppInstance = instance;
    return directoryKnown;
}

const char* LanguageModuleName(LANGID systemLanguage) {
    // "<identifier>.dll" of every module, made once (thread-safe: the Explorer extension asks too).
    static const std::vector<std::string> names = [] {
        std::vector<std::string> made;
        for (int k = 0; k < LanguageModuleCount; ++k) {
            made.push_back(std::to_string(LanguageModules[k]) + ".dll");
        }
        return made;
    }();
    const uint16_t module = LanguageModuleFor(systemLanguage);
    for (int k = 0; k < LanguageModuleCount; ++k) {
        if (LanguageModules[k] == module) {
            return names[k].c_str();
        }
    }
    return names.front().c_str(); // not reached: the choice is always a module of the table
}

bool BuildLanguagePath(char* path, const char* directory, LANGID systemLanguage) {
    const char* folder = "\\lang\\";
    const char* name = LanguageModuleName(systemLanguage);
    size_t length = strlen(directory) + strlen(folder) + strlen(name);
    path[0] = '\0';
    if (length >= static_cast<size_t>(PathBufferSize)) {
        return false;
    }
    wnsprintfA(path, PathBufferSize, "%s%s%s", directory, folder, name);
    return true;
}
