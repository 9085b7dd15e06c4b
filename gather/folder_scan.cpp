#include "gather/folder_scan.h"

#include <windows.h>

#include <stdio.h>
#include <string.h>

#include "app/app_state.h"
#include "app/gui_listbox.h"
#include "app/scoped_handle.h"

namespace {

// Formats into a path buffer; false when the result would not fit. A cut path
// would name another file, so the caller skips it instead.
bool FormatPath(char* path, const char* format, const char* first, const char* second) {
    int length = snprintf(path, PathBufferSize, format, first, second);
    return length >= 0 && length < PathBufferSize;
}

} // namespace

void ScanFolder(const char* folder) {
    char pattern[PathBufferSize];
    if (!FormatPath(pattern, "%s\\%s", folder, "*.*")) {
        return;
    }
    WIN32_FIND_DATAA entry;
    ScopedFind find(FindFirstFileA(pattern, &entry));
    if (!find.IsValid()) {
        return;
    }
    do {
        if (strcmp(entry.cFileName, ".") == 0 || strcmp(entry.cFileName, "..") == 0) {
            continue;
        }
        char path[PathBufferSize];
        if (!FormatPath(path, "%s\\%s", folder, entry.cFileName)) {
            continue;
        }
        // Depth first: a subfolder's files land where the subfolder was met.
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            ScanFolder(path);
        } else {
            FileList->AddEntry(path);
        }
    } while (FindNextFileA(find.Get(), &entry));
}
