#include "console/digest_command.h"

#include <new>
#include <string>
#include <vector>

#include "base/algorithm_names.h"
#include "base/list_file.h"
#include "base/load_text.h"
#include "base/long_path.h"
#include "base/program_state.h"
#include "base/scoped_handle.h"
#include "console/console_output.h"
#include "console/exit_code.h"
#include "console/stop_request.h"
#include "gather/folder_walk.h"
#include "gather/walk_failure_line.h"
#include "res/resource.h"

namespace {

struct FileProgress {
    const char* path;
    ULONGLONG size;
};

bool CheckBlock(ULONGLONG done, void* context) {
    FileProgress& progress = *static_cast<FileProgress*>(context);
    ShowProgress(progress.path, done, progress.size);
    return !StopRequested();
}

// Files are digested in batches, by a worker per processor: under Wine each
// small file costs a few server calls, and two processors make them twice as
// fast. The lines still go out in walk order.
const size_t BatchSize = 256;
const DWORD MostWorkers = 4;

struct Batch {
    DigestKind kind;
    std::vector<std::string> paths;
    std::vector<FileOutcome> outcomes; // FileStopped for a file no worker got to
    std::vector<std::string> digests;
    volatile LONG next; // the next file a worker takes
};

DWORD WINAPI DigestBatch(LPVOID parameter) {
    Batch& batch = *static_cast<Batch*>(parameter);
    WatchThisThread(); // a stop cancels a read of ours that does not return
    try {
        DigestorHolder digestor(batch.kind);
        // Once a stop is seen no new file is opened: an open that does not return would no longer be
        // cancelled.
        for (LONG i; !StopRequested() &&
                     (i = InterlockedIncrement(&batch.next) - 1) < static_cast<LONG>(batch.paths.size());) {
            batch.outcomes[i] = DigestPath(batch.paths[i].c_str(), digestor.Get());
            if (batch.outcomes[i] == FileDigested) {
                batch.digests[i] = digestor->DigestText();
            }
        }
    } catch (const std::bad_alloc&) {
        // The files this worker did not finish count as not reached.
    }
    ForgetThisThread();
    return 0;
}

struct DigestRun {
    Batch batch;
    const char* name;
    const char* failFormat; // null: a failed file's line is its path, as in the window
    bool quiet;
    bool failed;
    bool broken;       // a batch ended short: stopped, or out of memory
    std::string lines; // the list's entries so far
};

// A line of the list: on standard output (quiet: failures only) and into the -o list.
bool PutListLine(DigestRun& run, const std::string& line, bool failure) {
    if (!run.quiet || failure) {
        PutLine(StandardOutput, line);
    }
    run.lines += line + "\r\n";
    return true;
}

// Digests the waiting files and puts out their lines; false when a stop cut
// the batch short (the lines before the first file not done still go out).
bool FinishBatch(DigestRun& run) {
    Batch& batch = run.batch;
    const size_t count = batch.paths.size();
    batch.outcomes.assign(count, FileStopped);
    batch.digests.assign(count, std::string());
    batch.next = 0;
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    HANDLE workers[MostWorkers];
    DWORD started = 0;
    while (started < system.dwNumberOfProcessors && started < MostWorkers && started < count &&
           (workers[started] = CreateThread(NULL, 0, DigestBatch, &batch, 0, NULL)) != NULL) {
        ++started;
    }
    if (started == 0) {
        DigestBatch(&batch);
        WatchThisThread(); // the batch forgot this thread too
    }
    WaitForMultipleObjects(started, workers, TRUE, INFINITE);
    for (DWORD k = 0; k < started; ++k) {
        CloseHandle(workers[k]);
    }
    for (size_t i = 0; i < count; ++i) {
        const char* path = batch.paths[i].c_str();
        const FileOutcome outcome = batch.outcomes[i];
        if (outcome == FileStopped) {
            run.broken = true;
            return false;
        }
        std::string line;
        if (outcome == FileDigested) {
            line = ResultLine(batch.digests[i], run.name, path);
        } else {
            line = run.failFormat ? FailureLine(run.failFormat, run.name, path) : path;
            Complain(std::string(outcome == FileOpenFailed ? "cannot open " : "cannot read ") + path);
            run.failed = true;
        }
        PutListLine(run, line, outcome != FileDigested);
    }
    batch.paths.clear();
    return true;
}

bool DigestFound(const char* path, WalkFind find, void* context) {
    DigestRun& run = *static_cast<DigestRun*>(context);
    if (find != FoundFile) {
        // Nothing is left out without a word: the window's line, a message and exit 1.
        static const char* const reasons[] = {"", "cannot search the folder ",
                                              "path too long: ", "name outside the code page: "};
        Complain(reasons[find] + std::string(path));
        run.failed = true;
        return FinishBatch(run) && PutListLine(run, WalkFailureLine(path, find), true);
    }
    run.batch.paths.push_back(path);
    return run.batch.paths.size() < BatchSize || FinishBatch(run);
}

} // namespace

FileOutcome DigestPath(const char* path, IDigestor* digestor) {
    // An open or a read broken by a stop is a stop, not a failure.
    ScopedFile file(OpenToRead(path));
    if (!file.IsValid()) {
        return StopRequested() ? FileStopped : FileOpenFailed;
    }
    // The size serves only the progress line: a server call saved per file.
    LARGE_INTEGER size = {};
    if (ShowsProgress()) {
        GetFileSizeEx(file.Get(), &size);
    }
    FileProgress progress = {path, static_cast<ULONGLONG>(size.QuadPart)};
    FileOutcome outcome = DigestOpenFile(file.Get(), digestor, CheckBlock, &progress);
    return outcome == FileReadFailed && StopRequested() ? FileStopped : outcome;
}

int DigestPaths(char** paths, int count, DigestKind kind, const char* listPath, bool quiet) {
    char failFormat[SharedTextSize];
    const char* loaded = LoadText(IDS_OPEN_FAILED);
    if (loaded) {
        lstrcpynA(failFormat, loaded, sizeof failFormat);
    }
    DigestRun run = {
        {kind, {}, {}, {}, 0}, AlgorithmNames[kind], loaded ? failFormat : NULL, quiet, false, false, ""};
    for (int i = 0; i < count && !run.broken; ++i) {
        // Written in full, so that lines and lists name files wherever they are read.
        std::string path = FullPath(paths[i]);
        DWORD attributes = PathAttributes(path);
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            WalkFolder(path.c_str(), DigestFound, &run);
        } else {
            bool fits = path.size() < static_cast<size_t>(PathBufferSize);
            DigestFound(path.c_str(), fits ? FoundFile : FoundPathTooLong, &run);
        }
    }
    // The last files of the walk wait in the batch.
    const bool finished = !run.broken && FinishBatch(run);
    if (StopRequested()) {
        Complain("stopped");
        return ExitFailure;
    }
    if (!finished) {
        Complain("not enough memory");
        return ExitTrouble;
    }
    std::string aside;
    SaveOutcome saved =
        listPath ? WriteInPlace(listPath, ListHeading(LoadText(IDS_SAVE_HEADING)) + run.lines, aside)
                 : SaveDone;
    if (saved != SaveDone) {
        Complain(std::string("cannot write the list ") + listPath +
                 (saved == SaveAside ? "; the new list is kept as " + aside : std::string()));
        return ExitTrouble;
    }
    return run.failed ? ExitFailure : ExitSuccess;
}
