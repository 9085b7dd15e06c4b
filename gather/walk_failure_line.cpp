#include "gather/walk_failure_line.h"

#include <windows.h>

#include "base/code_page.h"
#include "base/load_text.h"
#include "base/path_buffer.h"
#include "gather/folder_walk.h"
#include "res/resource.h"

std::string WalkFailureLine(const char* path, int find) {
    const UINT formats[] = {0, IDS_CANNOT_LIST, IDS_PATH_TOO_LONG, IDS_NAME_NOT_SHOWN};
    const char* format = find > FoundFile && find <= FoundNameNotInCodePage ? LoadText(formats[find]) : NULL;
    // wsprintfA writes at most 1024 characters; the path has at most 519.
    char line[1024 + 1];
    wsprintfA(line, format ? format : "%s", path);
    char entry[PathBufferSize];
    CopyCut(entry, sizeof entry, line);
    return entry;
}
