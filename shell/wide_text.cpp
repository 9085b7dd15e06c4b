#include "shell/wide_text.h"

#include <windows.h>

std::string Utf8Text(const std::wstring& wide) {
    if (wide.empty()) {
        return std::string();
    }
    int length =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), NULL, 0, NULL, NULL);
    std::string text(length > 0 ? length : 0, '\0');
    if (length > 0) {
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), &text[0], length, NULL,
                            NULL);
    }
    return text;
}

std::wstring WideText(const std::string& utf8) {
    if (utf8.empty()) {
        return std::wstring();
    }
    int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), NULL, 0);
    std::wstring text(length > 0 ? length : 0, L'\0');
    if (length > 0) {
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &text[0], length);
    }
    return text;
}

std::wstring WideLongPath(const std::wstring& path) {
    if (path.size() >= 4 && (path[0] == L'\\' || path[0] == L'/') && (path[1] == L'\\' || path[1] == L'/') &&
        (path[2] == L'?' || path[2] == L'.') && (path[3] == L'\\' || path[3] == L'/')) {
        return path;
    }
    // Explorer hands out full paths, taken as they are: GetFullPathNameW would drop a name's trailing
    // dot or space and may make a device of "nul". Only a relative path goes through it.
    const bool absolute =
        (path.size() >= 3 && path[1] == L':' && (path[2] == L'\\' || path[2] == L'/')) ||
        (path.size() >= 2 && (path[0] == L'\\' || path[0] == L'/') && (path[1] == L'\\' || path[1] == L'/'));
    std::wstring full = path;
    if (!absolute) {
        DWORD size = GetFullPathNameW(path.c_str(), 0, NULL, NULL);
        std::wstring made(size, L'\0');
        DWORD length = size ? GetFullPathNameW(path.c_str(), size, &made[0], NULL) : 0;
        if (length > 0 && length < size && made.compare(0, 4, L"\\\\.\\") != 0) {
            full = made.substr(0, length);
        }
    }
    for (wchar_t& c : full) {
        c = c == L'/' ? L'\\' : c;
    }
    if (full.size() >= 2 && full[0] == L'\\' && full[1] == L'\\') {
        return L"\\\\?\\UNC\\" + full.substr(2);
    }
    return L"\\\\?\\" + full;
}

std::wstring NameOf(const std::wstring& path) {
    size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring FolderOfPath(const std::wstring& path) {
    size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}
