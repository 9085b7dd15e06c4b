#include "console/digest_command.h"

#include <memory>
#include <string>
#include <vector>

#include "base/algorithm_names.h"
#include "base/list_file.h"
#include "base/list_reading.h"
#include "base/load_text.h"
#include "base/long_path.h"
#include "base/recorded_list.h"
#include "base/program_state.h"
#include "base/sum_line.h"
#include "console/console_output.h"
#include "console/exit_code.h"
#include "console/file_run.h"
#include "console/path_pattern.h"
#include "console/standard_input.h"
#include "console/stop_request.h"
#include "gather/folder_walk.h"
#include "gather/walk_failure_line.h"
#include "res/resource.h"

namespace {

struct DigestRun {
    DigestKind kind;
    LineForm form;
    const char* name;
    const char* failFormat; // null: a failed file's line is its path, as in the window
    bool quiet;
    bool failed;
    FileRun* files;
    ListSave* list;           // -o: its lines go there as they are done
    ListSave* record;         // --record: its entries go there as they are done
    std::string recordPath;   // in full
    std::string recordFolder; // where it lies: its entries are named relative to it
    std::string argumentPath; // the PATH being walked, in full
    std::string argumentName; // and as its files are named: empty for in full
};

// A PATH given, as it is walked: a pattern's matches each on their own.
struct Target {
    std::string argument; // as written, or as the pattern matched it
    std::string path;     // in full
    bool folder;
};

// A line of the list: on standard output (quiet: failures only) and into the -o list.
void PutListLine(DigestRun& run, const std::string& line, bool failure) {
    if (!run.quiet || failure) {
        PutLine(StandardOutput, line);
    }
    if (run.list) {
        run.list->Write(line + "\r\n");
    }
}

// A file's line: the window's, or a *sum tool's with "/" between names.
std::string DigestLine(const DigestRun& run, const std::string& digest, const std::string& name) {
    if (run.form == LinesOfWindow) {
        return ResultLine(digest, run.name, name.c_str());
    }
    std::string slashed = name;
    for (char& c : slashed) {
        c = c == '\\' ? '/' : c;
    }
    return run.form == LinesOfSum ? SumLine(digest, slashed) : TagLine(run.kind, digest, slashed);
}

// A file that could not be read: a message, exit code 1, and the window's failure line, which no
// *sum tool's list takes.
void PutFailure(DigestRun& run, const std::string& name, bool opened) {
    Complain(std::string(opened ? "cannot read " : "cannot open ") + name);
    run.failed = true;
    if (run.form == LinesOfWindow) {
        PutListLine(run, run.failFormat ? FailureLine(run.failFormat, run.name, name.c_str()) : name, true);
    }
}

// Each file's line, in walk order; a walk's failure line comes back as a note.
void FileFinishedLine(const WorkSlot& slot, const std::string& text, void* context) {
    DigestRun& run = *static_cast<DigestRun*>(context);
    if (slot.leave) {
        // Its message is out already; only the window's lines have a line for it.
        if (run.form == LinesOfWindow) {
            PutListLine(run, text, true);
        }
        return;
    }
    if (slot.outcome == FileDigested) {
        PutListLine(run, DigestLine(run, slot.digest, text), false);
        if (run.record) {
            const FileRecord record = {slot.size, slot.written};
            run.record->Write(RecordedEntryText(slot.digest, RecordedPath(run.recordFolder, text), record));
        }
        return;
    }
    PutFailure(run, text, slot.outcome != FileOpenFailed);
}

// The name a file under the PATH being walked gets: its full path, or, for a relative PATH in a
// *sum tool's lines, the PATH as written followed by the rest of the file's path.
std::string FileName(const DigestRun& run, const std::string& path) {
    if (run.argumentName.empty() || path.compare(0, run.argumentPath.size(), run.argumentPath) != 0) {
        return path;
    }
    std::string rest = path.substr(run.argumentPath.size());
    const char last = run.argumentName.back();
    if (!rest.empty() && rest[0] == '\\' && (last == '\\' || last == '/')) {
        rest.erase(0, 1);
    }
    return run.argumentName + rest;
}

// Standard input's bytes ("-"), once the files before it are out, so that the lines keep their order.
bool DigestInput(DigestRun& run) {
    if (!run.files->Drain()) {
        return false;
    }
    std::string digest;
    if (DigestStandardInput(run.kind, digest)) {
        PutListLine(run, DigestLine(run, digest, StandardInputName), false);
    } else if (!StopRequested()) {
        PutFailure(run, StandardInputName, true);
    }
    return !StopRequested();
}

// Whether path is the new file of a list this run writes.
bool IsListOfRun(const ListSave* save, const char* path) {
    return save && !save->Temporary().empty() && SamePath(path, save->Temporary());
}

bool DigestFound(const char* path, WalkFind find, void* context) {
    DigestRun& run = *static_cast<DigestRun*>(context);
    if (find != FoundFile) {
        // Nothing is left out without a word: the window's line, a message and exit 1.
        static const char* const reasons[] = {"", "cannot search the folder ",
                                              "path too long: ", "name outside the code page: "};
        Complain(reasons[find] + std::string(path));
        run.failed = true;
        return run.files->AddNote(WalkFailureLine(path, find));
    }
    // The list never records itself (a recording of the same folder replaces it), nor are the lists
    // that this run writes taken while they grow.
    if ((run.record && SamePath(path, run.recordPath)) || IsListOfRun(run.list, path) ||
        IsListOfRun(run.record, path)) {
        return true;
    }
    return run.files->AddFile(path, run.kind, FileName(run, path), KindTries(),
                              run.record ? LastWriteRead : LastWriteSkipped);
}

// The count beside the run: the files under the PATHs as the run's walk finds them, and their sizes.
bool CountFound(const char* path, WalkFind find, void* context) {
    SizeCount& count = *static_cast<SizeCount*>(context);
    return find != FoundFile || count.Add(SizeByAttributes(path));
}

void CountTargets(SizeCount& count, void* context) {
    for (const Target& target : *static_cast<const std::vector<Target>*>(context)) {
        if (!count.Going()) {
            return;
        }
        if (target.folder) {
            WalkFolder(target.path.c_str(), CountFound, &count);
        } else if (!target.path.empty()) {
            count.Add(SizeByAttributes(target.path.c_str()));
        }
    }
}

// Puts a list written as the run went in its place; false, with a message, when it could not be.
bool CommitList(const char* path, ListSave& save) {
    std::string aside;
    const SaveOutcome saved = save.Commit(aside);
    if (saved != SaveDone) {
        Complain(std::string("cannot write the list ") + path +
                 (saved == SaveAside ? "; the new list is kept as " + aside : std::string()));
    }
    return saved == SaveDone;
}

// The PATHs given, wildcards expanded, each named as the run names its files: in full, which the
// window's lines and lists use so that they are read from anywhere, or for a *sum tool's lines as
// written. Standard input ("-") stays as it is.
std::vector<Target> TargetsOf(char** paths, int count, LineForm form) {
    std::vector<Target> targets;
    for (int i = 0; i < count; ++i) {
        if (std::string(paths[i]) == StandardInputName) {
            targets.push_back(Target{StandardInputName, std::string(), false});
            continue;
        }
        for (const std::string& argument : ExpandPattern(paths[i])) {
            const std::string path = FullPath(argument);
            const DWORD attributes = PathAttributes(path);
            const bool folder =
                attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
            targets.push_back(Target{
                form != LinesOfWindow && IsRelativePath(argument) ? argument : std::string(), path, folder});
        }
    }
    return targets;
}

} // namespace

int DigestPaths(char** paths, int count, const DigestRequest& request) {
    char failFormat[SharedTextSize];
    const char* loaded = LoadText(IDS_OPEN_FAILED);
    if (loaded) {
        lstrcpynA(failFormat, loaded, sizeof failFormat);
    }
    DigestRun run = {request.kind,
                     request.form,
                     KindName(request.kind),
                     loaded ? failFormat : NULL,
                     request.quiet,
                     false,
                     NULL,
                     NULL,
                     NULL,
                     "",
                     "",
                     "",
                     ""};
    const std::vector<Target> targets = TargetsOf(paths, count, request.form);
    // The lists are written as the lines come; they take their place only once all are done.
    std::unique_ptr<ListSave> list(request.listPath ? new ListSave(request.listPath) : NULL);
    std::unique_ptr<ListSave> record(request.recordPath ? new ListSave(request.recordPath) : NULL);
    run.list = list.get();
    run.record = record.get();
    if (list) {
        list->Write(ListHeading(LoadText(IDS_SAVE_HEADING)));
    }
    if (record) {
        run.recordPath = FullPath(request.recordPath);
        run.recordFolder = FolderOf(run.recordPath);
        // A check of the list looks for new files where the recording looked.
        RecordHeading heading = {request.kind, TimeNow(), {}};
        for (const Target& target : targets) {
            if (target.folder) {
                heading.folders.push_back(RecordedFolder(run.recordFolder, target.path));
            }
        }
        record->Write(RecordHeadingText(heading));
    }
    FileRun files(FileFinishedLine, &run);
    if (!files.Start()) {
        Complain("cannot start a digest worker");
        return ExitTrouble;
    }
    run.files = &files;
    files.CountAlongside(CountTargets, const_cast<std::vector<Target>*>(&targets));
    bool going = true;
    for (size_t i = 0; i < targets.size() && going; ++i) {
        const Target& target = targets[i];
        if (target.path.empty()) {
            going = DigestInput(run);
            continue;
        }
        run.argumentPath = target.path;
        run.argumentName = target.argument;
        if (target.folder) {
            going = WalkFolder(target.path.c_str(), DigestFound, &run);
        } else {
            bool fits = target.path.size() < static_cast<size_t>(PathBufferSize);
            going = DigestFound(target.path.c_str(), fits ? FoundFile : FoundPathTooLong, &run);
        }
    }
    files.AllAdded();
    const bool finished = going && files.Finish();
    if (StopRequested()) {
        Complain("stopped");
        return ExitFailure;
    }
    if (!finished) {
        Complain("not enough memory");
        return ExitTrouble;
    }
    if ((list && !CommitList(request.listPath, *list)) ||
        (record && !CommitList(request.recordPath, *record))) {
        return ExitTrouble;
    }
    return run.failed ? ExitFailure : ExitSuccess;
}
