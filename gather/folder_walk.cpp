#include "gather/folder_walk.h"

#include <windows.h>

#include <stdio.h>
#include <string.h>

#include "base/path_buffer.h"
#include "base/scoped_handle.h"

namespace {

// Formats into a path buffer; false when the result would not fit. A cut path
// would name another file, so the caller skips it instead.
bool FormatPath(char* path, const char* format, const char* first, const char* second) {
    int length = snprintf(path, PathBufferSize, format, first, second);
    return length >= 0 && length < PathBufferSize;
}

// Where a folder really is, whatever path leads to it: a link and its target
// give the same identity.
struct FolderIdentity {
    DWORD volume;
    DWORD indexHigh;
    DWORD indexLow;
};

bool ReadIdentity(const char* folder, FolderIdentity& identity) {
    // Backup semantics open a folder; without FILE_FLAG_OPEN_REPARSE_POINT the
    // open follows a link to its target.
    ScopedFile handle(CreateFileA(folder, FILE_READ_ATTRIBUTES,
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

// One folder of the current walk path. Its identity is read only when a link
// is met below it, so a walk without links costs no extra opens.
struct WalkLevel {
    const char* path;
    const WalkLevel* parent;
    FileSink sink;
    void* context;
    mutable int known; // 0 not read yet, 1 read, -1 unreadable
    mutable FolderIdentity identity;
};

bool SameFolder(const WalkLevel& level, const FolderIdentity& target) {
    if (level.known == 0) {
        level.known = ReadIdentity(level.path, level.identity) ? 1 : -1;
    }
    return level.known == 1 && level.identity.volume == target.volume &&
           level.identity.indexHigh == target.indexHigh && level.identity.indexLow == target.indexLow;
}

// A folder link is entered unless it leads back to a folder on the walk path,
// which would repeat the walk until paths reach their length limit. A link
// whose target cannot be told is not entered either.
bool MayEnterLink(const char* link, const WalkLevel& walk) {
    FolderIdentity target;
    if (!ReadIdentity(link, target)) {
        return false;
    }
    for (const WalkLevel* level = &walk; level; level = level->parent) {
        if (SameFolder(*level, target)) {
            return false;
        }
    }
    return true;
}

// False when the sink ended the walk.
bool Walk(const WalkLevel& walk) {
    char pattern[PathBufferSize];
    if (!FormatPath(pattern, "%s\\%s", walk.path, "*.*")) {
        return true;
    }
    WIN32_FIND_DATAA entry;
    ScopedFind find(FindFirstFileA(pattern, &entry));
    if (!find.IsValid()) {
        return true;
    }
    do {
        if (strcmp(entry.cFileName, ".") == 0 || strcmp(entry.cFileName, "..") == 0) {
            continue;
        }
        char path[PathBufferSize];
        if (!FormatPath(path, "%s\\%s", walk.path, entry.cFileName)) {
            continue;
        }
        // Depth first: a subfolder's files land where the subfolder was met.
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if ((entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) && !MayEnterLink(path, walk)) {
                continue;
            }
            WalkLevel below = {path, &walk, walk.sink, walk.context, 0, {}};
            if (!Walk(below)) {
                return false;
            }
        } else if (!walk.sink(path, walk.context)) {
            return false;
        }
    } while (FindNextFileA(find.Get(), &entry));
    return true;
}

} // namespace

bool WalkFolder(const char* folder, FileSink sink, void* context) {
    WalkLevel top = {folder, NULL, sink, context, 0, {}};
    return Walk(top);
}
