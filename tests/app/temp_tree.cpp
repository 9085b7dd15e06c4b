#include "temp_tree.h"

#include <string.h>

#include "base/app_state.h"
#include "base/gui_listbox.h"

namespace {

// The \\?\ form lets the wide calls pass MAX_PATH.
std::wstring LongForm(const std::string& path) { return L"\\\\?\\" + std::wstring(path.begin(), path.end()); }

void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = entry.cFileName;
            if (name == L"." || name == L"..") {
                continue;
            }
            std::wstring path = folder + L"\\" + name;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path);
            } else {
                SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(path.c_str());
            }
        } while (FindNextFileW(find, &entry));
        FindClose(find);
    }
    RemoveDirectoryW(folder.c_str());
}

void CollectWalk(const std::string& folder, std::vector<std::string>& files) {
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((folder + "\\*.*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        std::string name = entry.cFileName;
        if (name == "." || name == "..") {
            continue;
        }
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            CollectWalk(folder + "\\" + name, files);
        } else {
            files.push_back(folder + "\\" + name);
        }
    } while (FindNextFileA(find, &entry));
    FindClose(find);
}

} // namespace

TempTree::TempTree() {
    char temp[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, temp);
    std::string base = temp;
    if (!base.empty() && base.back() == '\\') {
        base.pop_back();
    }
    for (unsigned attempt = 0; attempt < 1000 && m_root.empty(); ++attempt) {
        std::string candidate = base + "\\digestor-app-" + std::to_string(GetCurrentProcessId()) + "-" +
                                std::to_string(GetTickCount64()) + "-" + std::to_string(attempt);
        if (CreateDirectoryA(candidate.c_str(), NULL)) {
            m_root = candidate;
        }
    }
}

TempTree::~TempTree() {
    if (!m_root.empty()) {
        RemoveTree(LongForm(m_root));
    }
}

std::string TempTree::Folder(const std::string& relative) {
    std::string path = m_root + "\\" + relative;
    CreateDirectoryA(path.c_str(), NULL);
    return path;
}

std::string TempTree::File(const std::string& relative, DWORD attributes) {
    std::string path = m_root + "\\" + relative;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_NEW, attributes, NULL);
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
    }
    return path;
}

void TempTree::Remove(const std::string& relative) {
    std::wstring path = LongForm(m_root + "\\" + relative);
    DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return;
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(path);
    } else {
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(path.c_str());
    }
}

std::string TempTree::DeepChain(const std::string& folder, const std::string& segment, size_t length) {
    std::string path = folder;
    std::string file;
    while (path.size() < length) {
        path += "\\" + segment;
        CreateDirectoryW(LongForm(path).c_str(), NULL);
        file = path + "\\f.txt";
        HANDLE handle = CreateFileW(LongForm(file).c_str(), GENERIC_WRITE, 0, NULL, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, NULL);
        if (handle != INVALID_HANDLE_VALUE) {
            CloseHandle(handle);
        }
    }
    return file;
}

std::vector<std::string> WalkOrder(const std::string& folder) {
    std::vector<std::string> files;
    CollectWalk(folder, files);
    return files;
}

std::vector<std::string> ListedEntries() {
    std::vector<std::string> entries;
    LRESULT count = FileList->EntryCount();
    for (LRESULT i = 0; i < count; ++i) {
        char entry[PathBufferSize] = "";
        FileList->GetEntry(static_cast<int>(i), entry);
        entries.push_back(entry);
    }
    return entries;
}
