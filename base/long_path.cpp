#include "base/long_path.h"

#include <vector>

#include "base/code_page.h"

namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

bool IsDriveLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

// \\?\, \\.\ and \??\ paths go to the platform as they are.
bool IsLongOrDeviceForm(const std::wstring& path) {
    return path.size() >= 4 && IsSeparator(path[0]) && IsSeparator(path[1]) &&
           (path[2] == L'?' || path[2] == L'.') && IsSeparator(path[3]);
}

std::wstring CurrentFolder() {
    DWORD size = GetCurrentDirectoryW(0, NULL);
    std::wstring folder(size, L'\0');
    DWORD length = GetCurrentDirectoryW(size, &folder[0]);
    folder.resize(length < size ? length : 0);
    return folder;
}

// Splits the absolute path after its root (C:\ or \\server\share\) into names,
// taking out "." and "..", which no name may be, and joins them again.
std::wstring Normalise(const std::wstring& root, const std::wstring& rest) {
    std::vector<std::wstring> names;
    size_t start = 0;
    while (start <= rest.size()) {
        size_t end = start;
        while (end < rest.size() && !IsSeparator(rest[end])) {
            ++end;
        }
        std::wstring name = rest.substr(start, end - start);
        if (name == L"..") {
            if (!names.empty()) {
                names.pop_back();
            }
        } else if (!name.empty() && name != L".") {
            names.push_back(name);
        }
        start = end + 1;
    }
    std::wstring path = root;
    for (size_t k = 0; k < names.size(); ++k) {
        path += (k ? L"\\" : L"") + names[k];
    }
    return path;
}

// The absolute form of path: "C:\names" or "\\server\share\names".
std::wstring Absolute(const std::wstring& path) {
    if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
        // \\server\share: the first two names are the root.
        size_t server = path.find_first_of(L"\\/", 2);
        size_t share = server == std::wstring::npos ? server : path.find_first_of(L"\\/", server + 1);
        if (share == std::wstring::npos) {
            return L"\\\\" + path.substr(2);
        }
        return Normalise(L"\\\\" + path.substr(2, server - 2) + L"\\" +
                             path.substr(server + 1, share - server - 1) + L"\\",
                         path.substr(share + 1));
    }
    if (path.size() >= 2 && IsDriveLetter(path[0]) && path[1] == L':') {
        if (path.size() >= 3 && IsSeparator(path[2])) {
            return Normalise(path.substr(0, 2) + L"\\", path.substr(3));
        }
        // C:name, relative to the current folder of drive C: the platform knows it.
        wchar_t full[MAX_PATH];
        DWORD length = GetFullPathNameW(path.substr(0, 2).c_str(), MAX_PATH, full, NULL);
        std::wstring folder = length > 0 && length < MAX_PATH ? full : path.substr(0, 2) + L"\\";
        return Absolute(folder + L"\\" + path.substr(2));
    }
    // Relative to the current folder, itself C:\... or \\server\share\...
    std::wstring current = CurrentFolder();
    bool onDrive = current.size() >= 3 && IsDriveLetter(current[0]) && current[1] == L':';
    bool onShare = !onDrive && current.size() >= 2 && IsSeparator(current[0]) && IsSeparator(current[1]) &&
                   !IsLongOrDeviceForm(current);
    if (!onDrive && !onShare) {
        return path;
    }
    if (!path.empty() && IsSeparator(path[0])) {
        // \name: from the root of the current folder's drive or share.
        size_t server = current.find_first_of(L"\\/", 2);
        size_t share = server == std::wstring::npos ? server : current.find_first_of(L"\\/", server + 1);
        return Absolute(current.substr(0, onDrive ? 2 : share) + path);
    }
    return Absolute(current + L"\\" + path);
}

} // namespace

std::string FullPath(const std::string& path) {
    std::wstring wide = ToWide(path);
    if (IsLongOrDeviceForm(wide)) {
        return path;
    }
    std::string full;
    return ToNarrow(Absolute(wide), full) ? full : path;
}

std::wstring LongPath(const std::string& path) { return LongPath(ToWide(path)); }

std::wstring LongPath(const std::wstring& wide) {
    if (IsLongOrDeviceForm(wide)) {
        return wide;
    }
    std::wstring full = Absolute(wide);
    if (full.size() >= 2 && full[0] == L'\\' && full[1] == L'\\') {
        return L"\\\\?\\UNC\\" + full.substr(2);
    }
    return L"\\\\?\\" + full;
}

DWORD PathAttributes(const std::string& path) { return GetFileAttributesW(LongPath(path).c_str()); }

bool SamePath(const std::string& one, const std::string& other) {
    const std::wstring a = ToWide(one);
    const std::wstring b = ToWide(other);
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()),
                                TRUE) == CSTR_EQUAL;
}

std::string FolderOf(const std::string& path) { return path.substr(0, path.find_last_of('\\')); }
