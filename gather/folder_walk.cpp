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
    EntrySink sink;
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

// False when the sink ended the walk.
bool Report(Walk& walk, const std::string& path, WalkFind find, unsigned long long size = 0) {
    if (path.size() < static_cast<size_t>(PathBufferSize)) {
        return walk.sink(WalkEntry{path.c_str(), find, size}, walk.context) != WalkEnd;
    }
    // A path too long for a list line is shown cut, and never opened.
    const std::string cut = CutText(path, PathBufferSize - 1);
    return walk.sink(WalkEntry{cut.c_str(), find == FoundFile ? FoundPathTooLong : find, size},
                     walk.context) != WalkEnd;
}

// False when the sink ended the walk.
bool WalkBelow(Walk& walk, const std::string& folder) {
    WIN32_FIND_DATAW entry;
    ScopedFind find(FindFirstFileExW((LongPath(folder) + L"\\*").c_str(), FindExInfoBasic, &entry,
                                     FindExSearchNameMatch, NULL, FIND_FIRST_EX_LARGE_FETCH));
    if (!find.IsValid()) {
        // Only the root of an empty drive has nothing at all to list.
        DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_NO_MORE_FILES
                   ? Report(walk, folder, FoundEmptyFolder)
                   : Report(walk, folder, FoundUnlistedFolder);
    }
    bool empty = true;
    do {
        if (wcscmp(entry.cFileName, L".") == 0 || wcscmp(entry.cFileName, L"..") == 0) {
            continue;
        }
        empty = false;
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
            const unsigned long long size =
                (static_cast<unsigned long long>(entry.nFileSizeHigh) << 32) | entry.nFileSizeLow;
            if (!Report(walk, path, FoundFile, size)) {
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
        if (!first) {
            continue;
        }
        const WalkStep step = walk.sink(WalkEntry{path.c_str(), FoundFolder, 0}, walk.context);
        if (step == WalkEnd || (step == WalkOn && !WalkBelow(walk, path))) {
            return false;
        }
    } while (FindNextFileW(find.Get(), &entry));
    return !empty || Report(walk, folder, FoundEmptyFolder);
}

// WalkFolder's sink behind WalkEntries: the files and the failures, nothing more.
struct FileWalk {
    FileSink sink;
    void* context;
};

WalkStep PassFile(const WalkEntry& entry, void* context) {
    const FileWalk& files = *static_cast<FileWalk*>(context);
    if (entry.find == FoundFolder || entry.find == FoundEmptyFolder) {
        return WalkOn;
    }
    return files.sink(entry.path, entry.find, files.context) ? WalkOn : WalkEnd;
}

} // namespace

bool WalkEntries(const char* folder, EntrySink sink, void* context) {
    Walk walk = {sink, context, false, {}, {}};
    FirstVisit(walk, folder);
    return WalkBelow(walk, folder);
}

bool WalkFolder(const char* folder, FileSink sink, void* context) {
    FileWalk files = {sink, context};
    return WalkEntries(folder, PassFile, &files);
}

bool SameFileOrFolder(const std::string& one, const std::string& other) {
    FolderIdentity a;
    FolderIdentity b;
    return ReadIdentity(one, a) && ReadIdentity(other, b) && !(a < b) && !(b < a);
}
