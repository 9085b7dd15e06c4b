#include "gather/folder_scan.h"

#include <string>

#include "base/app_state.h"
#include "base/code_page.h"
#include "base/gui_listbox.h"
#include "base/load_text.h"
#include "gather/folder_walk.h"
#include "res/resource.h"

namespace {

bool AddToList(const char* path, WalkFind find, void*) {
    FileList->AddEntry(find == FoundFile ? path : WalkFailureLine(path, find).c_str());
    return true;
}

} // namespace

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

void ScanFolder(const char* folder) { WalkFolder(folder, AddToList, NULL); }
