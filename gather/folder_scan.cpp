#include "gather/folder_scan.h"

#include "base/app_state.h"
#include "base/gui_listbox.h"
#include "gather/folder_walk.h"

namespace {

bool AddToList(const char* path, void*) {
    FileList->AddEntry(path);
    return true;
}

} // namespace

void ScanFolder(const char* folder) { WalkFolder(folder, AddToList, NULL); }
