#include "gather/folder_scan.h"

#include <windows.h>

#include <stdio.h>
#include <string.h>

#include <string>

#include "base/load_text.h"
#include "base/program_state.h"
#include "gather/folder_walk.h"
#include "gather/walk_failure_line.h"
#include "window/app_state.h"
#include "window/gui_listbox.h"
#include "res/resource.h"
#include "window/private_messages.h"

namespace {

// As often as the run reports: the list, repainted ten times a second, shows
// the walk as it goes.
const ULONGLONG HandOverInterval = 33;

// The walk's batch: one walk runs at a time, so it is kept off every stack.
FoundEntries Found;
ULONGLONG LastHandOver;

// Set by StopScan on the window thread, read by the walk at every find.
volatile LONG StopRequested = 0;

WalkFindHook FindHook = NULL;
long long Finds = 0; // of the walks since BeginScanProgress, counted by the walk

// The window thread's view of the walk: entries listed, when the line under
// the list last changed, and what it showed before the walk.
long long Listed = 0;
ULONGLONG LastShown = 0;
char LineBefore[PathBufferSize];
const ULONGLONG ShowInterval = 250;

HWND ProgressLine() { return GetDlgItem(MainWindow, IDC_SELECTED_PATH); }

void ShowProgress(const char* lastEntry) {
    const char* format = LoadText(IDS_WALK_PROGRESS);
    if (!format) {
        return;
    }
    // The folder of the latest entry: its text up to the last backslash.
    std::string folder(lastEntry);
    const size_t cut = folder.rfind('\\');
    if (cut != std::string::npos) {
        folder.resize(cut);
    }
    char count[32];
    snprintf(count, sizeof count, "%lld", Listed);
    std::string line(strlen(format) + sizeof count + folder.size(), '\0');
    const int length = snprintf(&line[0], line.size() + 1, format, count, folder.c_str());
    line.resize(length > 0 ? static_cast<size_t>(length) : 0);
    SetWindowTextA(ProgressLine(), line.c_str());
}

void EmptyBatch() {
    Found.count = 0;
    Found.used = 0;
    Found.taken = 0;
    Found.takenBytes = 0;
}

// The window thread takes a batch in slices; a window that takes nothing more (it is gone)
// ends the hand-over.
void HandOver() {
    for (int before = -1; Found.taken < Found.count && Found.taken != before;) {
        before = Found.taken;
        SendMessageA(MainWindow, MSG_ADD_ENTRIES, 0, reinterpret_cast<LPARAM>(&Found));
    }
    EmptyBatch();
    LastHandOver = GetTickCount64();
}

bool AddToList(const char* path, WalkFind find, void*) {
    ++Finds;
    if (FindHook) {
        FindHook(Finds);
    }
    if (ScanStopped()) {
        return false;
    }
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
    EmptyBatch();
    LastHandOver = GetTickCount64();
    WalkFolder(folder, AddToList, NULL);
    HandOver();
}

void AddFoundEntries(FoundEntries* found) {
    const ULONGLONG start = GetTickCount64();
    const char* last = NULL;
    while (found->taken < found->count && (!last || GetTickCount64() - start < ListWorkSlice)) {
        const char* entry = found->text + found->takenBytes;
        if (FileList->AddEntry(entry) >= 0) {
            ++Listed;
        }
        last = entry;
        found->takenBytes += strlen(entry) + 1;
        ++found->taken;
    }
    const ULONGLONG now = GetTickCount64();
    if (last && now - LastShown >= ShowInterval) {
        LastShown = now;
        ShowProgress(last);
    }
}

void SetWalkFindHook(WalkFindHook hook) { FindHook = hook; }

void BeginScanProgress() {
    InterlockedExchange(&StopRequested, 0);
    Finds = 0; // the walk's thread starts after this
    Listed = 0;
    LastShown = 0;
    GetWindowTextA(ProgressLine(), LineBefore, sizeof LineBefore);
    const char* searching = LoadText(IDS_WALK_STARTED);
    SetWindowTextA(ProgressLine(), searching ? searching : "");
}

void StopScan() { InterlockedExchange(&StopRequested, 1); }

bool ScanStopped() { return InterlockedCompareExchange(&StopRequested, 0, 0) != 0; }

void EndScanProgress() {
    if (!ScanStopped()) {
        SetWindowTextA(ProgressLine(), LineBefore);
        return;
    }
    const char* format = LoadText(IDS_WALK_STOPPED);
    char count[32];
    snprintf(count, sizeof count, "%lld", Listed);
    char line[SharedTextSize + sizeof count];
    snprintf(line, sizeof line, format ? format : "%s", count);
    SetWindowTextA(ProgressLine(), line);
}
