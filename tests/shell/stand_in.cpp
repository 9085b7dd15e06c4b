// Stands in for Digestor.exe beside a copy of the extension: writes what it was given into
// result.txt beside itself and ends. The file holds the command line in UTF-8, a line feed, then the
// bytes of the file named after /items, if any (which it deletes, as the program does). It is
// written under another name and renamed when complete, so its presence means it is whole.
#include <windows.h>

#include <shellapi.h>

#include <string>

namespace {

std::string Utf8(const wchar_t* text) {
    int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, NULL, 0, NULL, NULL);
    std::string result(size > 0 ? size : 1, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, &result[0], size, NULL, NULL);
    return result.c_str();
}

std::string ReadBytes(const wchar_t* path) {
    std::string bytes;
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        return "(unreadable)";
    }
    char buffer[65536];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, NULL) && read > 0) {
        bytes.append(buffer, read);
    }
    CloseHandle(file);
    return bytes;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const wchar_t* commandLine = GetCommandLineW();
    std::string result = Utf8(commandLine) + "\n";
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(commandLine, &count);
    for (int i = 1; arguments && i + 1 < count; ++i) {
        if (lstrcmpW(arguments[i], L"/items") == 0) {
            result += ReadBytes(arguments[i + 1]);
            DeleteFileW(arguments[i + 1]);
        }
    }
    LocalFree(arguments);

    std::wstring folder(MAX_PATH * 2, L'\0');
    folder.resize(GetModuleFileNameW(NULL, &folder[0], static_cast<DWORD>(folder.size())));
    folder.resize(folder.find_last_of(L'\\') + 1);
    const std::wstring part = folder + L"result.part", whole = folder + L"result.txt";
    HANDLE file = CreateFileW(part.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    DWORD written = 0;
    bool ok = file != INVALID_HANDLE_VALUE &&
              WriteFile(file, result.data(), static_cast<DWORD>(result.size()), &written, NULL) &&
              written == result.size();
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
    }
    return ok && MoveFileExW(part.c_str(), whole.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
