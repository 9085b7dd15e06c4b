#include "tests/e2e/remote_drop.h"

#include <string.h>

#include "tests/e2e/drop_probe.h"
#include "tests/e2e/remote_probe.h"

namespace {

// The request header followed by the paths in UTF-16, each zero-terminated, and a final zero.
bool BuildRequest(HWND window, const std::vector<std::string>& paths, std::vector<char>& request) {
    std::wstring list;
    for (const std::string& path : paths) {
        if (path.empty())
            return false; // an empty path would end the list early
        int size = MultiByteToWideChar(CP_ACP, 0, path.c_str(), static_cast<int>(path.size()), nullptr, 0);
        if (size <= 0)
            return false;
        std::wstring wide(static_cast<size_t>(size), L'\0');
        MultiByteToWideChar(CP_ACP, 0, path.c_str(), static_cast<int>(path.size()), &wide[0], size);
        list += wide;
        list += L'\0';
    }
    list += L'\0';
    if (paths.empty())
        list += L'\0'; // still a list's two terminators

    DropProbeRequest header = {};
    header.window = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(window));
    header.pathChars = static_cast<uint32_t>(list.size());
    request.resize(sizeof(header) + list.size() * sizeof(wchar_t));
    memcpy(&request[0], &header, sizeof(header));
    memcpy(&request[sizeof(header)], list.data(), list.size() * sizeof(wchar_t));
    return true;
}

} // namespace

bool DropFiles(HANDLE process, DWORD processId, HWND window, const std::vector<std::string>& paths,
               std::string* error) {
    std::string why;
    std::vector<char> request;
    DWORD posted = 0;
    if (!BuildRequest(window, paths, request)) {
        why = "a path is empty or has no UTF-16 form";
    } else if (RunProbeInside(process, processId, kDropProbeEntry, &request[0], request.size(), false, posted,
                              why) &&
               posted != 1) {
        why = "the drop could not be posted to the window";
    }
    if (error)
        *error = why;
    return why.empty();
}
