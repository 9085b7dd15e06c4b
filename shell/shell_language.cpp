#include "shell/shell_language.h"

#include "base/language_choice.h"

#include "base/program_identity.h"
#include "shell/module_lock.h"

HMODULE LoadShellLanguage() {
    std::wstring path = ModuleFolder() + L"\\lang\\";
    const char* name = LanguageModuleName(GetSystemDefaultLangID());
    while (*name) {
        path += static_cast<wchar_t>(*name++);
    }
    return LoadLibraryExW(path.c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
}

std::wstring ShellText(HMODULE module, UINT id) {
    const wchar_t* text = NULL;
    // With a length of 0 the call hands out a pointer into the resource itself, no copy, no limit.
    int length = module ? LoadStringW(module, id, reinterpret_cast<LPWSTR>(&text), 0) : 0;
    return length > 0 && text ? std::wstring(text, length) : std::wstring();
}

bool ShellReadsRightToLeft() { return ReadsRightToLeft(LanguageModuleFor(GetSystemDefaultLangID())); }
