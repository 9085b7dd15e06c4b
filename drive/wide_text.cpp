#include "drive/wide_text.h"

#include <windows.h>

#include <shellapi.h>

std::vector<std::wstring> ProgramArguments() {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!arguments) {
        return std::vector<std::wstring>();
    }
    std::vector<std::wstring> words(arguments + 1, arguments + count);
    LocalFree(arguments);
    return words;
}

// A UTF-16 unit takes at most three bytes in UTF-8.
std::string Utf8(const std::wstring& text) {
    std::string result(text.size() * 3 + 1, '\0');
    result.resize(WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &result[0],
                                      static_cast<int>(result.size()), NULL, NULL));
    return result;
}
