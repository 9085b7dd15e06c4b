#include "gather/folder_walk.h"

#include <windows.h>

#include <string.h>

#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "base/code_page.h"
#include "base/long_path.h"
#include "base/path_buffer.h"
#include "base/scoped_handle.h"

namespace {

// Where a folder really is, whatever path leads to it: a link and its target
// give the same identity.
struct FolderIdentity {
    DWORD volume;
    DWORD indexHigh;
    DWORD indexLow;
    bool operator<(const FolderIdentity& other) const {
        return std::tie(volume, indexHigh, indexLow) <
               std::tie(other.volume, other.indexHigh, other.indexLow);
    }
};

bool ReadIdentity(const std::string& folder, FolderIdentity& identity) {
    // Backup semantics open a folder; without FILE_FLAG_OPEN_REPARSE_POINT the
    // open follows a link to its target.
    ScopedFile handle(CreateFileW(LongPath(folder).c_str(), FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS, NULL));
    BY_HANDLE_FILE_INFORMATION info;
    if (!handle.IsValid() || !GetFileInformationByHandle(handle.Get(), &info)) {
        return false;
    }
    identity.volume = info.dwVolumeSerialNumber;
    identity.indexHigh = info.nFileIndexHigh;
    identity.indexLow = info.nFileIndexLow;
    return true;
}

// The folders walked so far. Identities cost an open each, so they are read
// only once the walk meets its first link: until then the folders' paths are
// kept, and a tree without links costs no extra opens.
struct Walk {
    FileSink sink;
    void* context;
    bool linkMet;
    std::vector<std::string> unread;
    std::set<FolderIdentity> walked;
};

// Records folder as walked; false when it was walked before. A folder whose
// identity cannot be read is walked: it cannot be a second path to anything.
bool FirstVisit(Walk& walk, const std::string& folder) {
    if (!walk.linkMet) {
        walk.unread.push_back(folder);
        return true;
    }
    FolderIdentity identity;
    return !ReadIdentity(folder, identity) || walk.walked.insert(identity).second;
}

void ReadWalkedIdentities(Walk& walk) {
    walk.linkMet = true;
    for (const std::string& folder : walk.unread) {
        FolderIdentity identity;
        if (ReadIdentity(folder, identity)) {
            walk.walked.insert(identity);
        }
    }
    walk.unread.clear();
    walk.unread.shrink_to_fit();
}

bool Report(Walk& walk, const std::string& path, WalkFind find) {
    if (path.size() < static_cast<size_t>(PathBufferSize)) {
        return walk.sink(path.c_str(), find, walk.context);
    }
    // A path too long for a list line is shown cut, and never opened.
    return walk.sink(CutText(path, PathBufferSize - 1).c_str(), find == FoundFile ? FoundPathTooLong : find,
                     walk.context);
}

// False when the sink ended the walk.
bool WalkBelow(Walk& walk, const std::string& folder) {
    WIN32_FIND_DATAW entry;
    ScopedFind find(FindFirstFileExW((LongPath(folder) + L"\\*").c_str(), FindExInfoBasic, &entry,
                                     FindExSearchNameMatch, NULL, FIND_FIRST_EX_LARGE_FETCH));
    if (!find.IsValid()) {
        // Only the root of an empty drive has nothing at all to list.
        DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_NO_MORE_FILES ||
               Report(walk, folder, FoundUnlistedFolder);
    }
    do {
        if (wcscmp(entry.cFileName, L".") == 0 || wcscmp(entry.cFileName, L"..") == 0) {
            continue;
        }
        std::string name;
        bool exact = ToNarrow(entry.cFileName, name);
        std::string path = folder + "\\" + name;
        if (!exact) {
            if (!Report(walk, path, FoundNameNotInCodePage)) {
                return false;
            }
            continue;
        }
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            if (!Report(walk, path, FoundFile)) {
                return false;
            }
            continue;
        }
        // Depth first: a subfolder's files land where the subfolder was met.
        if (path.size() >= static_cast<size_t>(PathBufferSize)) {
            if (!Report(walk, path, FoundPathTooLong)) {
                return false;
            }
            continue;
        }
        bool first = true;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            if (!walk.linkMet) {
                ReadWalkedIdentities(walk);
            }
            FolderIdentity target;
            if (!ReadIdentity(path, target)) {
                // A link whose target is gone or closed to us.
                if (!Report(walk, path, FoundUnlistedFolder)) {
                    return false;
                }
                continue;
            }
            first = walk.walked.insert(target).second;
        } else {
            first = FirstVisit(walk, path);
        }
        if (first && !WalkBelow(walk, path)) {
            return false;
        }
    } while (FindNextFileW(find.Get(), &entry));
    return true;
}

} // namespace

bool WalkFolder(const char* folder, FileSink sink, void* context) {
    Walk walk = {sink, context, false, {}, {}};
    FirstVisit(walk, folder);
    return WalkBelow(walk, folder);
}
