#include "tools/update_list.h"

#include <new>
#include <string>
#include <vector>

#include "base/list_file.h"
#include "base/long_path.h"
#include "base/recorded_list.h"
#include "res/resource.h"
#include "window/app_state.h"
#include "window/main_look.h"
#include "window/show_message.h"

namespace {

// What the update does, from the check's verdicts, and how many of each.
struct Changes {
    std::vector<RecordUpdate> updates;
    std::vector<RecordedFile> added;
    int modified = 0;
    int missing = 0;
    int corrupted = 0;
};

Changes ChangesOf(const RecordedWork& check) {
    Changes changes;
    const std::string folder = FolderOf(check.list);
    for (size_t i = 0; i < check.expectations.size() && i < check.found.size(); ++i) {
        const int entry = check.expectations[i].entry;
        const EntryFinding& found = check.found[i];
        if (entry < 0) {
            if (found.verdict == VerdictNew) {
                changes.added.push_back({found.digest, RecordedPath(folder, found.path), found.record});
            }
            continue;
        }
        if (changes.updates.size() <= static_cast<size_t>(entry)) {
            changes.updates.resize(static_cast<size_t>(entry) + 1,
                                   RecordUpdate{RecordKeep, std::string(), {}});
        }
        changes.updates[static_cast<size_t>(entry)] = UpdateFor(found.verdict, found.digest, found.record);
        changes.modified += found.verdict == VerdictModified ? 1 : 0;
        changes.missing += found.verdict == VerdictMissing ? 1 : 0;
        changes.corrupted += found.verdict == VerdictCorrupted ? 1 : 0;
    }
    return changes;
}

} // namespace

void UpdateList(HWND owner) {
    if (ExpandThread || ProgressWindow || HashThread || !Recorded.check || !Recorded.finished) {
        return;
    }
    const std::string list = Recorded.list;
    try {
        const Changes changes = ChangesOf(Recorded);
        if (ShowFormattedMessage(owner, IDS_UPDATE_ASK, MB_ICONQUESTION | MB_YESNO, list.c_str(),
                                 changes.modified, static_cast<int>(changes.added.size()), changes.missing,
                                 changes.corrupted) != IDYES) {
            return;
        }
        // The verdicts hold for the list as the check read it, and for no other.
        std::string text;
        if (!ReadListFile(list.c_str(), text)) {
            ShowMessage(owner, IDS_LIST_UNREADABLE, list.c_str(), MB_TASKMODAL | MB_ICONERROR);
            return;
        }
        if (text != Recorded.text) {
            ShowMessage(owner, IDS_UPDATE_CHANGED, list.c_str(), MB_TASKMODAL | MB_ICONERROR);
            return;
        }
        std::string aside;
        const SaveOutcome outcome = WriteInPlace(
            list.c_str(), UpdateRecordedText(text, changes.updates, changes.added, TimeNow()), aside);
        if (outcome == SaveFailed) {
            ShowMessage(owner, IDS_SAVE_FAILED, MB_TASKMODAL | MB_ICONERROR);
            return;
        }
        // Once written, the check's verdicts no longer describe the list.
        Recorded = RecordedWork();
        UpdateMainLook();
        if (outcome == SaveAside) {
            ShowMessage(owner, IDS_SAVE_KEPT, aside.c_str(), MB_TASKMODAL | MB_ICONERROR);
            return;
        }
    } catch (const std::bad_alloc&) {
        ShowMessage(owner, IDS_SAVE_FAILED, MB_TASKMODAL | MB_ICONERROR);
        return;
    }
    ShowMessage(owner, IDS_UPDATE_DONE, list.c_str(), MB_TASKMODAL | MB_ICONINFORMATION);
}
