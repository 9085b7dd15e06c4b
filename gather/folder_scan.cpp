#include "gather/folder_scan.h"

#include <windows.h>

#include <string.h>

#include <string>

#include "gather/folder_walk.h"
#include "gather/walk_failure_line.h"
#include "window/app_state.h"
#include "window/gui_listbox.h"
#include "window/private_messages.h"

namespace {

// As often as the run reports: the list, repainted ten times a second, shows
// the walk as it goes.
const ULONGLONG HandOverInterval = 33;

// The walk's batch: one walk runs at a time, so it is kept off every stack.
FoundEntries Found;
ULONGLONG LastHandOver;

void HandOver() {
    if (Found.count > 0) {
        SendMessageA(MainWindow, MSG_ADD_ENTRIES, 0, reinterpret_cast<LPARAM>(&Found));
        Found.count = 0;
        Found.used = 0;
    }
    LastHandOver = GetTickCount64();
}

bool AddToList(const char* path, WalkFind find, void*) {
    const std::string failure = find == FoundFile ? std::string() : WalkFailureLine(path, find);
    const char* entry = find == FoundFile ? path : failure.c_str();
    // The walk cuts its paths and failure lines to a list line, so one always fits an empty batch.
    const size_t size = strlen(entry) + 1;
    if (Found.used + size > sizeof Found.text) {
        HandOver();
    }
    memcpy(Found.text + Found.used, entry, size);
    Found.used += size;
    ++Found.count;
    if (GetTickCount64() - LastHandOver >= HandOverInterval) {
        HandOver();
    }
    return true;
}

} // namespace

void ScanFolder(const char* folder) {
    Found.count = 0;
    Found.used = 0;
    LastHandOver = GetTickCount64();
    WalkFolder(folder, AddToList, NULL);
    HandOver();
}

void AddFoundEntries(const FoundEntries* found) {
    const char* entry = found->text;
    for (int k = 0; k < found->count; ++k) {
        FileList->AddEntry(entry);
        entry += strlen(entry) + 1;
    }
}
