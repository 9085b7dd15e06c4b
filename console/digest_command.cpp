#include "console/digest_command.h"

#include <string>

#include "base/algorithm_names.h"
#include "base/app_state.h"
#include "base/list_file.h"
#include "base/load_text.h"
#include "base/scoped_handle.h"
#include "console/console_output.h"
#include "console/list_check.h"
#include "console/stop_request.h"
#include "gather/folder_walk.h"
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

struct DigestRun {
    IDigestor* digestor;
    const char* name;
    const char* failFormat; // null: a failed file's line is its path, as in the window
    bool quiet;
    bool failed;
    std::string lines; // the list's entries so far
};

bool DigestFound(const char* path, void* context) {
    DigestRun& run = *static_cast<DigestRun*>(context);
    FileOutcome outcome = DigestPath(path, run.digestor);
    if (outcome == FileStopped) {
        return false;
    }
    std::string line;
    if (outcome == FileDigested) {
        line = ResultLine(run.digestor->DigestText(), run.name, path);
    } else {
        line = run.failFormat ? FailureLine(run.failFormat, run.name, path) : path;
        Complain(std::string(outcome == FileOpenFailed ? "cannot open " : "cannot read ") + path);
        run.failed = true;
    }
    if (!run.quiet || outcome != FileDigested) {
        PutLine(StandardOutput, line);
    }
    run.lines += line + "\r\n";
    return true;
}

// The full path of what the user named, without a trailing separator, so
// that lines and lists name files wherever they are read; as given when it
// does not fit.
std::string FullPath(const char* path) {
    char full[PathBufferSize];
    DWORD length = GetFullPathNameA(path, PathBufferSize, full, NULL);
    if (length == 0 || length >= static_cast<DWORD>(PathBufferSize)) {
        return path;
    }
    if (length > 3 && (full[length - 1] == '\\' || full[length - 1] == '/')) {
        full[length - 1] = '\0';
    }
    return full;
}

} // namespace

FileOutcome DigestPath(const char* path, IDigestor* digestor) {
    // An open or a read broken by a stop is a stop, not a failure.
    ScopedFile file(OpenToRead(path));
    if (!file.IsValid()) {
        return StopRequested() ? FileStopped : FileOpenFailed;
    }
    LARGE_INTEGER size = {};
    GetFileSizeEx(file.Get(), &size);
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
    DigestorHolder digestor(kind);
    DigestRun run = {digestor.Get(), AlgorithmNames[kind], loaded ? failFormat : NULL, quiet, false, ""};
    for (int i = 0; i < count && !StopRequested(); ++i) {
        std::string path = FullPath(paths[i]);
        DWORD attributes = GetFileAttributesA(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            WalkFolder(path.c_str(), DigestFound, &run);
        } else {
            DigestFound(path.c_str(), &run);
        }
    }
    if (StopRequested()) {
        Complain("stopped");
        return ExitFailure;
    }
    if (listPath && !WriteInPlace(listPath, ListHeading(LoadText(IDS_SAVE_HEADING)) + run.lines)) {
        Complain(std::string("cannot write the list ") + listPath);
        return ExitTrouble;
    }
    return run.failed ? ExitFailure : ExitSuccess;
}
