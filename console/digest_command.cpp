#include "console/digest_command.h"

#include <string>

#include "base/algorithm_names.h"
#include "base/list_file.h"
#include "base/load_text.h"
#include "base/long_path.h"
#include "base/recorded_list.h"
#include "base/program_state.h"
#include "console/console_output.h"
#include "console/exit_code.h"
#include "console/file_run.h"
#include "console/stop_request.h"
#include "gather/folder_walk.h"
#include "gather/walk_failure_line.h"
#include "res/resource.h"

namespace {

struct DigestRun {
    DigestKind kind;
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

// Each file's line, in walk order; a walk's failure line comes back as a note.
void FileFinishedLine(const WorkSlot& slot, const std::string& text, void* context) {
    DigestRun& run = *static_cast<DigestRun*>(context);
    if (slot.leave) {
        PutListLine(run, text, true);
        return;
    }
    const char* path = text.c_str();
    if (slot.outcome == FileDigested) {
        PutListLine(run, ResultLine(slot.digest, run.name, path), false);
        if (run.recording) {
            const FileRecord record = {slot.size, slot.written};
            run.recorded += RecordedEntryText(slot.digest, RecordedPath(run.recordFolder, text), record);
        }
        return;
    }
    Complain(std::string(slot.outcome == FileOpenFailed ? "cannot open " : "cannot read ") + path);
    run.failed = true;
    PutListLine(run, run.failFormat ? FailureLine(run.failFormat, run.name, path) : text, true);
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
    return run.files->AddFile(path, run.kind);
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
                     AlgorithmNames[request.kind],
                     loaded ? failFormat : NULL,
                     request.quiet,
                     false,
                     request.listPath != NULL,
                     "",
                     NULL,
                     request.recordPath != NULL,
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
        // Written in full, so that lines and lists name files wherever they are read.
        std::string path = FullPath(paths[i]);
        DWORD attributes = PathAttributes(path);
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            // A check of the list looks for new files where the recording looked.
            heading.folders.push_back(RecordedFolder(run.recordFolder, path));
            going = WalkFolder(path.c_str(), DigestFound, &run);
        } else {
            bool fits = path.size() < static_cast<size_t>(PathBufferSize);
            going = DigestFound(path.c_str(), fits ? FoundFile : FoundPathTooLong, &run);
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
