#include "shell/shell_format.h"

#include <vector>

#include "shell/shell_language.h"

std::wstring FormatShellText(HMODULE module, UINT id, std::initializer_list<DWORD_PTR> arguments) {
    const std::wstring format = ShellText(module, id);
    if (format.empty()) {
        return format;
    }
    std::vector<DWORD_PTR> values(arguments);
    values.push_back(0);
    wchar_t* made = NULL;
    DWORD length = FormatMessageW(
        FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_ARGUMENT_ARRAY,
        format.c_str(), 0, 0, reinterpret_cast<LPWSTR>(&made), 0, reinterpret_cast<va_list*>(values.data()));
    std::wstring text = length && made ? std::wstring(made, length) : std::wstring();
    LocalFree(made);
    return text;
}
