#include "console/digest_command.h"

#include <string>

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
    bool listing;      // -o: the lines are kept for the list
    std::string lines; // the -o list's entries so far
    FileRun* files;
    bool recording;
    std::string recordPath;   // in full
    std::string recordFolder; // where it lies: its entries are named relative to it
    std::string recorded;     // its entries so far
    std::string argumentPath; // the PATH being walked, in full
    std::string argumentName; // and as its files are named: empty for in full
};

// A line of the list: on standard output (quiet: failures only) and into the -o list.
void PutListLine(DigestRun& run, const std::string& line, bool failure) {
    if (!run.quiet || failure) {
        PutLine(StandardOutput, line);
    }
    if (run.listing) {
        run.lines += line + "\r\n";
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
        if (run.recording) {
            const FileRecord record = {slot.size, slot.written};
            run.recorded += RecordedEntryText(slot.digest, RecordedPath(run.recordFolder, text), record);
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
    // The list never records itself (a recording of the same folder replaces it).
    if (run.recording && SamePath(path, run.recordPath)) {
        return true;
    }
    return run.files->AddFile(path, run.kind, FileName(run, path));
}

// Writes a list safely; false, with a message, when it could not be.
bool WriteList(const char* path, const std::string& text) {
    std::string aside;
    const SaveOutcome saved = WriteInPlace(path, text, aside);
    if (saved != SaveDone) {
        Complain(std::string("cannot write the list ") + path +
                 (saved == SaveAside ? "; the new list is kept as " + aside : std::string()));
    }
    return saved == SaveDone;
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
                     request.listPath != NULL,
                     "",
                     NULL,
                     request.recordPath != NULL,
                     "",
                     "",
                     "",
                     "",
                     ""};
    RecordHeading heading = {request.kind, TimeNow(), {}};
    if (run.recording) {
        run.recordPath = FullPath(request.recordPath);
        run.recordFolder = FolderOf(run.recordPath);
    }
    FileRun files(FileFinishedLine, &run);
    if (!files.Start()) {
        Complain("cannot start a digest worker");
        return ExitTrouble;
    }
    run.files = &files;
    bool going = true;
    for (int i = 0; i < count && going; ++i) {
        if (std::string(paths[i]) == StandardInputName) {
            going = DigestInput(run);
            continue;
        }
        for (const std::string& argument : ExpandPattern(paths[i])) {
            // Worked on in full; the window's lines and lists name files in full, so that they are read
            // from anywhere, a *sum tool's as written.
            std::string path = FullPath(argument);
            run.argumentPath = path;
            run.argumentName =
                run.form != LinesOfWindow && IsRelativePath(argument) ? argument : std::string();
            DWORD attributes = PathAttributes(path);
            if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
                // A check of the list looks for new files where the recording looked.
                heading.folders.push_back(RecordedFolder(run.recordFolder, path));
                going = WalkFolder(path.c_str(), DigestFound, &run);
            } else {
                bool fits = path.size() < static_cast<size_t>(PathBufferSize);
                going = DigestFound(path.c_str(), fits ? FoundFile : FoundPathTooLong, &run);
            }
            if (!going) {
                break;
            }
        }
    }
    const bool finished = going && files.Finish();
    if (StopRequested()) {
        Complain("stopped");
        return ExitFailure;
    }
    if (!finished) {
        Complain("not enough memory");
        return ExitTrouble;
    }
    if (request.listPath &&
        !WriteList(request.listPath, ListHeading(LoadText(IDS_SAVE_HEADING)) + run.lines)) {
        return ExitTrouble;
    }
    if (run.recording && !WriteList(request.recordPath, RecordHeadingText(heading) + run.recorded)) {
        return ExitTrouble;
    }
    return run.failed ? ExitFailure : ExitSuccess;
}
