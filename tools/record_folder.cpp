#include "tools/record_folder.h"

#include <shlwapi.h>

#include <new>
#include <utility>

#include "base/algorithm_names.h"
#include "base/list_file.h"
#include "base/long_path.h"
#include "base/recorded_list.h"
#include "res/resource.h"
#include "window/algorithm_box.h"
#include "window/app_state.h"
#include "window/folder_picker.h"
#include "window/gui_listbox.h"
#include "window/main_look.h"
#include "window/show_message.h"

namespace {

// path without trailing separators ("C:" for a drive's root).
std::string Trimmed(std::string path) {
    while (path.size() > 1 && path.back() == '\\') {
        path.pop_back();
    }
    return path;
}

bool IsRoot(const std::string& trimmed) { return PathIsRootA((trimmed + "\\").c_str()) != FALSE; }

} // namespace

std::string RecordedListPath(const std::string& folder, DigestKind kind) {
    std::string extension = KindName(kind);
    CharLowerBuffA(&extension[0], static_cast<DWORD>(extension.size()));
    const std::string trimmed = Trimmed(folder);
    const size_t slash = trimmed.find_last_of('\\');
    const std::string name = slash == std::string::npos ? trimmed : trimmed.substr(slash + 1);
    if (IsRoot(trimmed)) {
        const bool drive = trimmed.size() == 2 && trimmed[1] == ':';
        return trimmed + "\\" + (drive ? trimmed.substr(0, 1) : name) + "." + extension;
    }
    return trimmed.substr(0, slash) + "\\" + name + "." + extension;
}

bool PrepareRecording(HWND owner) {
    if (ExpandThread || ProgressWindow || HashThread) {
        return false;
    }
    std::string chosen;
    return PickFolder(owner, IDS_RECORD_TITLE, chosen) && PrepareFolderRecording(owner, chosen);
}

bool PrepareFolderRecording(HWND owner, const std::string& folder) {
    if (ExpandThread || ProgressWindow || HashThread) {
        return false;
    }
    const DWORD attributes = folder.size() < static_cast<size_t>(PathBufferSize) ? PathAttributes(folder)
                                                                                 : INVALID_FILE_ATTRIBUTES;
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        ShowMessage(owner, IDS_NOT_A_FOLDER, folder.c_str(), MB_TASKMODAL | MB_ICONERROR);
        return false;
    }
    const std::string trimmed = Trimmed(FullPath(folder));
    const std::string list = RecordedListPath(trimmed, SelectedAlgorithm(owner));
    if (PathAttributes(list) != INVALID_FILE_ATTRIBUTES &&
        ShowMessage(owner, IDS_RECORD_REPLACE, list.c_str(), MB_ICONQUESTION | MB_YESNO) != IDYES) {
        return false;
    }
    if (FileList->EntryCount() > 0 &&
        ShowMessage(owner, IDS_RECORD_CLEAR, MB_ICONQUESTION | MB_YESNO) != IDYES) {
        return false;
    }
    FileList->ClearEntries();
    SetDlgItemTextA(owner, IDC_SELECTED_PATH, "");
    RecordedWork recording;
    recording.list = list;
    recording.folder = IsRoot(trimmed) ? trimmed + "\\" : trimmed;
    // A root's list lies in the folder it records.
    const std::string listFolder = FolderOf(list);
    recording.heading = {SelectedAlgorithm(owner), TimeNow(), {RecordedFolder(listFolder, trimmed)}};
    Recorded = std::move(recording);
    UpdateMainLook();
    return true;
}

void FinishRecording(HWND owner) {
    RecordedWork recording = std::move(Recorded);
    Recorded = RecordedWork();
    UpdateMainLook();
    const std::string& list = recording.list;
    const std::string listFolder = FolderOf(list);
    int recorded = 0, leftOut = 0;
    std::string text;
    try {
        text = RecordHeadingText(recording.heading);
        for (const EntryFinding& found : recording.found) {
            if (SamePath(found.path, list)) {
                continue; // the list never records itself
            }
            if (found.outcome != FileDigested) {
                ++leftOut;
                continue;
            }
            text += RecordedEntryText(found.digest, RecordedPath(listFolder, found.path), found.record);
            ++recorded;
        }
    } catch (const std::bad_alloc&) {
        ShowMessage(owner, IDS_SAVE_FAILED, MB_TASKMODAL | MB_ICONERROR);
        return;
    }
    if (recorded == 0) {
        ShowMessage(owner, IDS_RECORD_NOTHING, recording.folder.c_str(), MB_TASKMODAL | MB_ICONWARNING);
        return;
    }
    std::string aside;
    const SaveOutcome outcome = WriteInPlace(list.c_str(), text, aside);
    if (outcome == SaveFailed) {
        ShowMessage(owner, IDS_SAVE_FAILED, MB_TASKMODAL | MB_ICONERROR);
    } else if (outcome == SaveAside) {
        ShowMessage(owner, IDS_SAVE_KEPT, aside.c_str(), MB_TASKMODAL | MB_ICONERROR);
    } else if (leftOut > 0) {
        ShowFormattedMessage(owner, IDS_RECORD_PARTLY, MB_TASKMODAL | MB_ICONWARNING, list.c_str(), leftOut);
    } else {
        ShowMessage(owner, IDS_RECORD_SAVED, list.c_str(), MB_TASKMODAL | MB_ICONINFORMATION);
    }
}
