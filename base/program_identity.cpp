#include "base/program_identity.h"

#include <shlwapi.h>

#include <string.h>

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
    return PRIMARYLANGID(systemLanguage) == LANG_GERMAN ? "1031.dll" : "1033.dll";
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
