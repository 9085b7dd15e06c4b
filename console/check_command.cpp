#include "console/check_command.h"

#include <deque>
#include <memory>
#include <utility>
#include <string>
#include <vector>

#include "base/check_tally.h"
#include "base/code_page.h"
#include "base/digest_file.h"
#include "base/kind_choice.h"
#include "base/list_file.h"
#include "base/list_reading.h"
#include "base/long_path.h"
#include "base/recorded_list.h"
#include "console/console_output.h"
#include "console/deferred_lines.h"
#include "console/exit_code.h"
#include "console/file_run.h"
#include "console/standard_input.h"
#include "console/stop_request.h"
#include "gather/new_files.h"

namespace {

// One list's check, and what an update makes of it.
struct ListCheck {
    const char* list;
    std::string title;          // how messages name it
    std::string folder;         // the list's, in full: new files are named relative to it
    const std::string* text;    // the list's, read one entry at a time (ListReader)
    std::deque<ListEntry> out;  // the entries whose files went to the workers, in list order
    std::deque<size_t> outLine; // the line of each
    size_t entryCount;          // the list's entries, checksum lines or not
    const CheckRequest* request;
    CheckTally* tally;
    RecordedListUpdate* update; // updating a recorded list: its new text as the verdicts come
    ListSave* save;             // where that text goes
    DeferredLines* changes;     // what the update does, a line each, told once the check is done
    KindChoice choice;          // the kind of the lines read by length
};

void PutVerdict(const ListCheck& check, const std::string& path, Verdict verdict) {
    if (!check.request->status && (!check.request->quiet || verdict != VerdictOK)) {
        PutLine(StandardOutput, path + ": " + VerdictText(verdict));
    }
}

// A warning on standard error, unless only the exit code is wanted.
void Warn(const ListCheck& check, const std::string& message) {
    if (!check.request->status) {
        Complain(message);
    }
}

// "1 line is", "2 lines are": the count and the words of sha256sum's warnings.
std::string Counted(int count, const char* one, const char* more) {
    return std::to_string(count) + " " + (count == 1 ? one : more);
}

// The update's text so far into its new file.
void WriteUpdate(std::string& text, void* save) { static_cast<ListSave*>(save)->Write(text); }

// The verdict of each checked entry, in list order, and what an update would do with it: a
// MODIFIED file takes its new digest and record, a MISSING one goes; a CORRUPTED one keeps its
// record, so that the decay shows until the file is restored.
void EntryChecked(const WorkSlot& slot, const std::string&, void* context) {
    ListCheck& check = *static_cast<ListCheck*>(context);
    const ListEntry entry = std::move(check.out.front());
    const size_t line = check.outLine.front();
    check.out.pop_front();
    check.outLine.pop_front();
    if (!slot.tries.others.empty()) {
        check.choice.Back(entry.digest.size(), slot.outcome == FileDigested, slot.kind);
    }
    const FileRecord found = {slot.size, slot.written};
    const Verdict verdict = entry.hasRecord
                                ? RecordVerdict(slot.outcome, slot.digest, entry.digest, entry.record, found)
                                : CheckVerdict(slot.outcome, slot.digest, entry.digest);
    if (verdict == VerdictMissing && check.request->ignoreMissing) {
        return;
    }
    CountVerdict(*check.tally, verdict);
    check.tally->recorded = check.tally->recorded || entry.hasRecord;
    PutVerdict(check, entry.path, verdict);
    if (!check.update) {
        return;
    }
    check.update->Change(line, entry, UpdateFor(verdict, slot.digest, found));
    // What the update says of each verdict it acts on, by Verdict.
    static const char* const changes[] = {"", "", "dropped: ", "", "kept as recorded: ", "updated: ", ""};
    if (changes[verdict][0] != '\0') {
        check.changes->Add(changes[verdict] + entry.path);
    }
}

// A new file digested for the update.
void NewFileDigested(const WorkSlot& slot, const std::string& path, void* context) {
    ListCheck& check = *static_cast<ListCheck*>(context);
    const std::string named = RecordedPath(check.folder, path);
    if (slot.outcome != FileDigested) {
        Complain("cannot read " + path + "; not added");
        return;
    }
    check.update->Add(RecordedFile{slot.digest, named, {slot.size, slot.written}});
    check.changes->Add("added: " + named);
}

// The count beside the check: the list's files, sized by their records where they have them.
void CountEntries(SizeCount& count, void* context) {
    const ListCheck& check = *static_cast<const ListCheck*>(context);
    ListReader reader(*check.text, check.list);
    ListEntry entry;
    for (size_t line = 0; reader.Next(entry, line) && count.Going();) {
        if (entry.isResult) {
            count.Add(entry.hasRecord ? entry.record.size
                                      : SizeByAttributes(ResolveEntryPath(check.list, entry.path).c_str()));
        }
    }
}

// Digests the files of the list's entries, read as they go to the workers; false when a stop ended
// it.
bool CheckEntries(ListCheck& check) {
    FileRun files(EntryChecked, &check);
    if (!files.Start()) {
        return false;
    }
    files.CountAlongside(CountEntries, &check);
    ListReader reader(*check.text, check.list);
    ListEntry entry;
    for (size_t line = 0; reader.Next(entry, line); ++check.entryCount) {
        if (!entry.isResult) {
            ++check.tally->notChecked;
            continue;
        }
        DigestKind kind = entry.algorithm;
        KindTries tries;
        // A line read by length waits while the first of its length decides their kind.
        while (entry.byLength && !check.choice.Offer(entry.digest, kind, tries)) {
            if (!files.Drain()) {
                return false;
            }
        }
        const std::string path = ResolveEntryPath(check.list, entry.path);
        check.out.push_back(entry);
        check.outLine.push_back(line);
        // Only a record's time tells decay from an edit.
        if (!files.AddFile(path, kind, path, tries, entry.hasRecord ? LastWriteRead : LastWriteSkipped)) {
            return false;
        }
    }
    files.AllAdded();
    return files.Finish();
}

// The files under the recorded folders that the list does not name, each NEW; digested with the
// list's algorithm when they are to be added. False when a stop ended it.
bool FindNew(ListCheck& check, const RecordHeading& heading, bool digest) {
    // Read once more, the list's paths are held as hashes, not as text.
    ListedPaths listed;
    listed.Reserve(check.entryCount + 1);
    ListReader reader(*check.text, check.list);
    ListEntry entry;
    for (size_t line = 0; reader.Next(entry, line);) {
        if (entry.isResult) {
            listed.Add(FullPath(ResolveEntryPath(check.list, entry.path)));
        }
    }
    if (check.save && !check.save->Temporary().empty()) {
        listed.Add(FullPath(check.save->Temporary())); // the new list, growing beside the list
    }
    const std::vector<std::string> found = FindNewFiles(FullPath(check.list), heading.folders, listed);
    if (StopRequested()) {
        return false;
    }
    for (const std::string& path : found) {
        CountVerdict(*check.tally, VerdictNew);
        PutVerdict(check, RecordedPath(check.folder, path), VerdictNew);
    }
    if (!digest) {
        return true;
    }
    FileRun files(NewFileDigested, &check);
    if (!files.Start()) {
        return false;
    }
    for (const std::string& path : found) {
        if (!files.AddFile(path, heading.algorithm, LastWriteRead)) {
            return false;
        }
    }
    files.AllAdded();
    return files.Finish();
}

// What one list's check adds to the tally, on standard error as sha256sum says it: the lines not
// checked, the files not read, the digests that differ; or that nothing was checked at all.
void WarnAfterList(const ListCheck& check, const CheckTally& before) {
    const CheckTally& tally = *check.tally;
    const int malformed = tally.notChecked - before.notChecked;
    const int unread = tally.missing - before.missing + tally.readErrors - before.readErrors;
    const int mismatched = tally.failed - tally.readErrors - (before.failed - before.readErrors) +
                           tally.corrupted - before.corrupted;
    if (tally.checked == before.checked) {
        // As md5sum does: a list with nothing to check is no success.
        Warn(check, static_cast<size_t>(malformed) == check.entryCount
                        ? check.title + ": no properly formatted checksum lines found"
                        : check.title + ": no file was verified");
        return;
    }
    if (malformed > 0) {
        Warn(check, "WARNING: " + Counted(malformed, "line is", "lines are") + " improperly formatted");
    }
    if (unread > 0) {
        Warn(check, "WARNING: " + Counted(unread, "listed file", "listed files") + " could not be read");
    }
    if (mismatched > 0) {
        Warn(check,
             "WARNING: " + Counted(mismatched, "computed checksum", "computed checksums") + " did NOT match");
    }
}

// Checks one list into tally; false when a stop ended it. Updating, it then rewrites the list.
bool CheckList(ListCheck& check, const std::string& text, const CheckRequest& request, bool& unwritten) {
    const CheckTally before = *check.tally;
    RecordHeading heading = {};
    ListReader reader(text, check.list);
    const bool recorded = reader.Recorded(heading);
    check.tally->recorded = check.tally->recorded || recorded;
    // The warnings go out before any verdict, from a reading of their own.
    ListEntry entry;
    for (size_t line = 0; request.warn && reader.Next(entry, line);) {
        if (!entry.isResult) {
            Warn(check,
                 check.title + ": " + std::to_string(line + 1) + ": improperly formatted checksum line");
        }
    }
    // An update writes the new list as the verdicts come, into a file beside the list that takes
    // its place only once the check is through.
    std::unique_ptr<ListSave> save;
    std::unique_ptr<RecordedListUpdate> update;
    DeferredLines changes;
    if (request.update && recorded) {
        save.reset(new ListSave(check.list));
        update.reset(new RecordedListUpdate(text, TimeNow(), WriteUpdate, save.get()));
        check.save = save.get();
        check.update = update.get();
    }
    check.changes = &changes;
    if (!CheckEntries(check)) {
        return false;
    }
    if (update) {
        update->End();
    }
    if (recorded && request.findNew && !FindNew(check, heading, update != NULL)) {
        return false;
    }
    WarnAfterList(check, before);
    if (!request.update) {
        return true;
    }
    if (!recorded) {
        Complain(std::string(check.list) + " is no recorded list (DigestorCmd --record): not updated");
        unwritten = true;
        return true;
    }
    changes.PutAll(StandardOutput);
    if (changes.Count() == 0) {
        PutLine(StandardOutput, std::string(check.list) + ": nothing to update");
        return true;
    }
    update->Flush();
    std::string aside;
    const SaveOutcome saved = save->Commit(aside);
    if (saved != SaveDone) {
        Complain(std::string("cannot write the list ") + check.list +
                 (saved == SaveAside ? "; the new list is kept as " + aside : std::string()));
        unwritten = true;
    } else {
        PutLine(StandardOutput, std::string(check.list) + ": updated");
    }
    return true;
}

} // namespace

int CheckLists(char** lists, int count, const CheckRequest& request) {
    CheckTally tally = {};
    bool unreadable = false;
    bool unwritten = false;
    bool stopped = false;
    bool empty = false;
    bool malformed = false;
    for (int i = 0; i < count && !stopped; ++i) {
        const bool input = std::string(lists[i]) == StandardInputName;
        const std::string title = input ? StandardInputTitle : lists[i];
        std::string text;
        if (input ? ReadStandardInput(text) : ReadListFile(lists[i], text)) {
            if (input) {
                MakeListText(text);
            }
            const CheckTally before = tally;
            const std::string full = FullPath(lists[i]);
            ListCheck check = {lists[i], title,  FolderOf(full), &text, {},   {},          0,
                               &request, &tally, NULL,           NULL,  NULL, KindChoice()};
            stopped = !CheckList(check, text, request, unwritten);
            empty = empty || (!stopped && tally.checked == before.checked);
            malformed = malformed || tally.notChecked > before.notChecked;
        } else if (!StopRequested()) {
            // Nothing is written over a list that could not be read.
            Complain("cannot read the list " + title);
            unreadable = true;
        } else {
            stopped = true;
        }
    }
    if (stopped) {
        Complain(StopRequested() ? "stopped" : "not enough memory");
    }
    if (!request.status) {
        PutLine(StandardError, TallyLine(tally));
    }
    return unreadable || unwritten                             ? ExitTrouble
           : stopped || empty || (request.strict && malformed) ? ExitFailure
                                                               : CheckExitCode(tally);
}
