#include "tools/check_list.h"

#include <commdlg.h>
#include <string.h>

#include <new>
#include <string>
#include <utility>
#include <vector>

#include "base/list_file.h"
#include "base/list_reading.h"
#include "base/load_text.h"
#include "base/long_path.h"
#include "base/recorded_list.h"
#include "res/resource.h"
#include "window/app_state.h"
#include "window/gui_listbox.h"
#include "window/show_message.h"

namespace {

const char Filter[] =
    "Checksum lists\0*.txt;*.md5;*.sha1;*.sha256;*.sha512;*.sha3-256;*.sha3-512;*.sha3;*.blake3;"
    "*.b3;*.xxh3;*.xxh128;*.sfv;*SUMS\0All Files (*.*)\0*.*\0";

bool AskForList(HWND owner, char* path) {
    // The dialog keeps a pointer to the title, so it gets its own copy.
    char title[SharedTextSize] = "";
    const char* loaded = LoadText(IDS_CHECK_TITLE);
    lstrcpynA(title, loaded ? loaded : "", sizeof title);
    OPENFILENAMEA dialog;
    memset(&dialog, 0, sizeof dialog);
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = Filter;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = path;
    dialog.nMaxFile = PathBufferSize;
    dialog.lpstrTitle = loaded ? title : NULL;
    dialog.Flags =
        OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY | OFN_ENABLESIZING;
    return GetOpenFileNameA(&dialog) != 0;
}

} // namespace

void CheckList(HWND owner, const char* path) {
    if (ExpandThread || ProgressWindow || HashThread) {
        return;
    }
    char chosen[PathBufferSize] = "";
    if (!path) {
        if (!AskForList(owner, chosen)) {
            return;
        }
        path = chosen;
    }
    const std::string list = FullPath(path);
    std::vector<std::string> paths;
    std::vector<CheckExpectation> expectations;
    int notChecked = 0;
    RecordedWork recorded;
    try {
        std::string text;
        if (!ReadListFile(list.c_str(), text)) {
            ShowMessage(owner, IDS_LIST_UNREADABLE, list.c_str(), MB_TASKMODAL | MB_ICONERROR);
            return;
        }
        const std::vector<ListEntry> entries = ReadListText(text, list);
        // A recorded list is kept for its update, and its run looks for NEW files.
        recorded.check = ReadRecordHeading(text, recorded.heading);
        if (recorded.check) {
            recorded.listed.Reserve(entries.size());
        }
        for (size_t number = 0; number < entries.size(); ++number) {
            const ListEntry& entry = entries[number];
            // A path a list entry cannot hold would name another file.
            std::string file = entry.isResult ? FullPath(ResolveEntryPath(list, entry.path)) : std::string();
            if (file.empty() || file.size() >= static_cast<size_t>(PathBufferSize)) {
                ++notChecked;
                continue;
            }
            if (recorded.check) {
                recorded.listed.Add(file);
            }
            paths.push_back(file);
            expectations.push_back({entry.algorithm, entry.digest, entry.hasRecord, entry.record,
                                    static_cast<int>(number), entry.byLength});
        }
        if (recorded.check) {
            recorded.list = list;
            recorded.text.swap(text);
        }
    } catch (const std::bad_alloc&) {
        ShowMessage(owner, IDS_LIST_UNREADABLE, list.c_str(), MB_TASKMODAL | MB_ICONERROR);
        return;
    }
    if (paths.empty()) {
        ShowMessage(owner, IDS_CHECK_NOTHING, list.c_str(), MB_TASKMODAL | MB_ICONERROR);
        return;
    }
    if (FileList->EntryCount() > 0 &&
        ShowMessage(owner, IDS_CHECK_REPLACE, MB_ICONQUESTION | MB_YESNO) != IDYES) {
        return;
    }
    FileList->ClearEntries();
    SetDlgItemTextA(owner, IDC_SELECTED_PATH, "");
    for (const std::string& file : paths) {
        FileList->AddEntry(file.c_str());
    }
    CheckExpectations.swap(expectations);
    CheckResult = CheckTally();
    CheckResult.notChecked = notChecked;
    CheckResult.recorded = recorded.check;
    Recorded = std::move(recorded);
    SendMessageA(owner, WM_COMMAND, IDC_START, 0);
    // A run that could not start leaves a plain list behind.
    if (!ProgressWindow) {
        CheckExpectations.clear();
        Recorded = RecordedWork();
    }
}

void ListNewFiles(const std::vector<std::string>& files) {
    for (const std::string& file : files) {
        if (FileList->AddEntry(file.c_str()) >= 0) {
            CheckExpectations.push_back(
                {Recorded.heading.algorithm, std::string(), false, FileRecord(), -1, false});
        }
    }
}
