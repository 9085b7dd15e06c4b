#include "shell/recorded_lookup.h"

#include "base/algorithm_names.h"
#include "base/long_path.h"
#include "base/scoped_handle.h"
#include "shell/wide_text.h"

namespace {

const char RecordedHeadingLine[] = "# Digestor recorded list";
// A list larger than this is no list a page reads inside Explorer.
const ULONGLONG LargestList = 256ULL * 1024 * 1024;

// How a list's path and RecordedPath's answer are compared: ASCII case aside (as RecordedPath
// compares), '/' for '\', no leading "./".
std::string NameKey(std::string name) {
    for (char& c : name) {
        c = c == '\\' ? '/' : (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
    while (name.compare(0, 2, "./") == 0) {
        name.erase(0, 2);
    }
    return name;
}

// Whether name ends in "." and one of the algorithms' names (any case): a list's extension.
bool HasListExtension(const std::wstring& name) {
    size_t dot = name.find_last_of(L'.');
    if (dot == std::wstring::npos) {
        return false;
    }
    const std::wstring extension = name.substr(dot + 1);
    for (DigestKind kind : BoxKinds) {
        std::wstring wide;
        for (const char* c = KindName(kind); *c; ++c) {
            wide += static_cast<wchar_t>(*c);
        }
        if (CompareStringOrdinal(extension.c_str(), -1, wide.c_str(), -1, TRUE) == CSTR_EQUAL) {
            return true;
        }
    }
    return false;
}

// The whole file when it begins with the recorded heading, else nothing more than its first bytes.
bool ReadRecordedText(const std::wstring& path, std::string& text) {
    ScopedFile file(CreateFileW(LongPath(path).c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, NULL));
    LARGE_INTEGER size;
    if (!file.IsValid() || GetFileType(file.Get()) != FILE_TYPE_DISK || !GetFileSizeEx(file.Get(), &size) ||
        static_cast<ULONGLONG>(size.QuadPart) > LargestList) {
        return false;
    }
    char start[sizeof(RecordedHeadingLine) + 3];
    DWORD length = 0;
    if (!ReadFile(file.Get(), start, sizeof(start), &length, NULL)) {
        return false;
    }
    std::string head(start, length);
    if (head.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        head.erase(0, 3);
    }
    if (head.compare(0, sizeof(RecordedHeadingLine) - 1, RecordedHeadingLine) != 0) {
        return false;
    }
    text.assign(start, length);
    text.resize(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    size_t at = length;
    while (at < text.size() &&
           ReadFile(file.Get(), &text[at], static_cast<DWORD>(text.size() - at), &read, NULL) && read > 0) {
        at += read;
    }
    text.resize(at);
    return true;
}

} // namespace

void RecordedLookup::ReadList(const std::wstring& folder, const std::wstring& name) {
    std::string text;
    List list;
    if (!ReadRecordedText(folder + L"\\" + name, text) || !ReadRecordHeading(text, list.heading)) {
        return;
    }
    list.name = name;
    list.folder = Utf8Text(folder);
    list.entries = ReadListText(text);
    for (size_t i = 0; i < list.entries.size(); ++i) {
        const ListEntry& entry = list.entries[i];
        if (entry.isResult && entry.hasRecord && entry.algorithm == list.heading.algorithm) {
            list.byPath.emplace(NameKey(entry.path), i);
        }
    }
    m_lists.push_back(std::move(list));
}

const std::vector<size_t>& RecordedLookup::ListsIn(const std::wstring& folder) {
    std::wstring key = folder;
    CharUpperBuffW(&key[0], static_cast<DWORD>(key.size()));
    auto known = m_folders.find(key);
    if (known != m_folders.end()) {
        return known->second;
    }
    std::vector<size_t>& lists = m_folders[key];
    WIN32_FIND_DATAW found;
    ScopedFind search(FindFirstFileExW(LongPath(folder + L"\\*").c_str(), FindExInfoBasic, &found,
                                       FindExSearchNameMatch, NULL, FIND_FIRST_EX_LARGE_FETCH));
    if (!search.IsValid()) {
        return lists;
    }
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && HasListExtension(found.cFileName)) {
            size_t before = m_lists.size();
            ReadList(folder, found.cFileName);
            if (m_lists.size() > before) {
                lists.push_back(before);
            }
        }
    } while (FindNextFileW(search.Get(), &found));
    return lists;
}

bool RecordedLookup::Find(const std::wstring& path, const volatile LONG& stop, RecordedMatch& match) {
    const std::string file = Utf8Text(path);
    // From the file's own folder up to the root ("C:", "\\server\share").
    for (std::wstring folder = FolderOfPath(path); folder.size() > 1 && !stop;
         folder = FolderOfPath(folder)) {
        for (size_t index : ListsIn(folder)) {
            const List& list = m_lists[index];
            auto entry = list.byPath.find(NameKey(RecordedPath(list.folder, file)));
            if (entry != list.byPath.end()) {
                const ListEntry& named = list.entries[entry->second];
                match.kind = list.heading.algorithm;
                match.digest = named.digest;
                match.record = named.record;
                match.listName = list.name;
                match.recordedAt = list.heading.recorded;
                return true;
            }
        }
        if (folder.size() == 2 && folder[1] == L':') {
            break;
        }
    }
    return false;
}
