#include "gather/folder_scan.h"

#include "gather/folder_walk.h"
#include "gather/walk_failure_line.h"
#include "window/app_state.h"
#include "window/gui_listbox.h"

namespace {

bool AddToList(const char* path, WalkFind find, void*) {
    FileList->AddEntry(find == FoundFile ? path : WalkFailureLine(path, find).c_str());
    return true;
}

} // namespace

void ScanFolder(const char* folder) { WalkFolder(folder, AddToList, NULL); }
