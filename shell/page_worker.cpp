#include "shell/page_worker.h"

#include <memory>

#include "base/digest_file.h"
#include "base/digest_set.h"
#include "base/long_path.h"
#include "base/run_progress.h"
#include "base/scoped_handle.h"
#include "shell/recorded_lookup.h"
#include "shell/wide_text.h"

namespace {

// How long the page's thread keeps cancelling a read before it lets the worker end on its own.
const ULONGLONG StopPatience = 100;
// Progress is told at most this often; a file's end is told at once.
const ULONGLONG ProgressStep = 50;
// The reading line's figures change at most this often, so that they can be read as they change.
const ULONGLONG ReadingStep = 250;

struct FileRead {
    FileRead(PageContext* readFor, size_t index, ULONGLONG sizeFound, ULONGLONG bytesBefore)
        : context(readFor), file(index), size(sizeFound), before(bytesBefore), lastTold(GetTickCount64()),
          readingTold(0) {
        speed.Sample(lastTold, 0);
    }

    PageContext* context;
    size_t file;
    ULONGLONG size;
    ULONGLONG before; // bytes of the earlier files
    ULONGLONG lastTold;
    ULONGLONG readingTold;
    // This file's alone: the reading line shows once it has measured about a second of the read.
    SpeedMeter speed;
};

bool CheckBlock(ULONGLONG done, void* param) {
    FileRead* read = static_cast<FileRead*>(param);
    if (read->context->stop) {
        return false;
    }
    ULONGLONG now = GetTickCount64();
    if (now - read->lastTold >= ProgressStep) {
        read->lastTold = now;
        read->speed.Sample(now, done);
        const bool tellReading = read->speed.Known() && now - read->readingTold >= ReadingStep;
        {
            ExclusiveLock hold(read->context->lock);
            read->context->doneBytes = read->before + done;
            if (tellReading) {
                read->readingTold = now;
                const PageReading reading = {true, read->file, done, read->size,
                                             read->speed.BytesPerSecond()};
                read->context->reading = reading;
            }
        }
        read->context->Tell();
    }
    return true;
}

// Finds the folders and the sizes of the files before any is read, so the progress bar spans the
// whole selection.
// sizes: of each row's file, 0 where none was found.
void SortSelection(PageContext* context, std::vector<ULONGLONG>& sizes) {
    std::vector<std::wstring> paths;
    {
        SharedLock hold(context->lock);
        for (const PageFile& file : context->files) {
            paths.push_back(file.path);
        }
    }
    std::vector<size_t> rows;
    size_t folders = 0;
    ULONGLONG total = 0;
    for (size_t i = 0; i < paths.size() && !context->stop; ++i) {
        WIN32_FILE_ATTRIBUTE_DATA data;
        ULONGLONG size = 0;
        if (GetFileAttributesExW(LongPath(paths[i]).c_str(), GetFileExInfoStandard, &data)) {
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                ++folders;
                continue;
            }
            size = (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        }
        total += size;
        sizes.push_back(size);
        rows.push_back(i);
    }
    {
        ExclusiveLock hold(context->lock);
        context->rows.swap(rows);
        context->foldersLeftOut = folders;
        context->totalBytes = total;
        context->rowsKnown = true;
    }
    context->Tell();
}

// The digest set for kinds, made once for each set a file needs.
DigestSet& SetFor(std::vector<std::unique_ptr<DigestSet>>& sets, const std::vector<DigestKind>& kinds) {
    for (std::unique_ptr<DigestSet>& set : sets) {
        bool same = set->Count() == kinds.size();
        for (size_t k = 0; same && k < kinds.size(); ++k) {
            same = set->Kind(k) == kinds[k];
        }
        if (same) {
            return *set;
        }
    }
    sets.emplace_back(new DigestSet(kinds));
    return *sets.back();
}

void DigestRow(PageContext* context, size_t index, RecordedLookup& lookup,
               std::vector<std::unique_ptr<DigestSet>>& sets, ULONGLONG before) {
    std::wstring path;
    {
        SharedLock hold(context->lock);
        path = context->files[index].path;
    }
    RecordedMatch match;
    const bool recorded = lookup.Find(path, context->stop, match);
    std::vector<DigestKind> kinds = context->kinds;
    bool ticked = false;
    for (DigestKind kind : kinds) {
        ticked = ticked || (recorded && kind == match.kind);
    }
    if (recorded && !ticked) {
        kinds.push_back(match.kind);
    }
    DigestSet& set = SetFor(sets, kinds);

    FileOutcome outcome = FileOpenFailed;
    FileRecord found = {0, 0};
    {
        // Only a disk file: a name that still leads to a device or a pipe is not read.
        ScopedFile file(OpenToRead(path));
        if (file.IsValid()) {
            LARGE_INTEGER size;
            FILETIME written;
            if (GetFileSizeEx(file.Get(), &size) && GetFileTime(file.Get(), NULL, NULL, &written)) {
                found.size = static_cast<ULONGLONG>(size.QuadPart);
                found.written =
                    (static_cast<ULONGLONG>(written.dwHighDateTime) << 32) | written.dwLowDateTime;
            }
            FileRead read(context, index, found.size, before);
            outcome = DigestOpenFileSet(file.Get(), set, CheckBlock, &read);
        }
    }
    if (context->stop) {
        return;
    }
    ExclusiveLock hold(context->lock);
    context->reading.shown = false;
    PageFile& row = context->files[index];
    row.kinds = kinds;
    row.state = outcome == FileDigested     ? FileDigestsDone
                : outcome == FileOpenFailed ? FileCannotOpen
                                            : FileCannotRead;
    if (outcome == FileDigested) {
        for (size_t k = 0; k < kinds.size(); ++k) {
            row.digests.push_back(set.DigestText(k));
        }
    }
    if (recorded) {
        std::string digest;
        for (size_t k = 0; k < kinds.size(); ++k) {
            digest = kinds[k] == match.kind && outcome == FileDigested ? row.digests[k] : digest;
        }
        row.recorded = true;
        row.verdict = RecordVerdict(outcome, digest, match.digest, match.record, found);
        row.listName = match.listName;
        row.recordedAt = match.recordedAt;
    }
    context->filesDone += 1;
}

void RunPage(PageContext* context) {
    std::vector<ULONGLONG> sizes;
    SortSelection(context, sizes);
    std::vector<size_t> rows;
    {
        SharedLock hold(context->lock);
        rows = context->rows;
    }
    RecordedLookup lookup;
    std::vector<std::unique_ptr<DigestSet>> sets;
    ULONGLONG before = 0;
    for (size_t row = 0; row < rows.size() && !context->stop; ++row) {
        DigestRow(context, rows[row], lookup, sets, before);
        // The progress goes by the sizes found before the reads, whatever the files hold now.
        before += sizes[row];
        {
            ExclusiveLock hold(context->lock);
            context->doneBytes = before;
        }
        context->Tell();
    }
}

DWORD WINAPI PageWorker(void* param) {
    PageContext* context = static_cast<PageContext*>(param);
    HMODULE module = context->heldModule;
    try {
        RunPage(context);
    } catch (...) {
        // Out of memory: the files not yet done stay without digests.
    }
    {
        ExclusiveLock hold(context->lock);
        context->finished = true;
        context->doneBytes = context->totalBytes;
    }
    InterlockedExchange(&context->stopSeen, 1);
    context->Tell();
    context->Release();
    FreeLibraryAndExitThread(module, 0);
}

} // namespace

HANDLE StartPageWorker(PageContext* context) {
    HMODULE module = NULL;
    // A count of the loader's own, so the DLL's code stays mapped until the thread's last instruction.
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCWSTR>(&PageWorker),
                            &module)) {
        return NULL;
    }
    context->heldModule = module;
    context->AddRef();
    HANDLE thread = CreateThread(NULL, 0, PageWorker, context, 0, NULL);
    if (!thread) {
        context->Release();
        FreeLibrary(module);
    }
    return thread;
}

void StopPageWorker(HANDLE thread, PageContext* context) {
    InterlockedExchange(&context->stop, 1);
    const ULONGLONG start = GetTickCount64();
    while (!context->stopSeen && WaitForSingleObject(thread, 0) == WAIT_TIMEOUT &&
           GetTickCount64() - start < StopPatience) {
        CancelSynchronousIo(thread);
        Sleep(1);
    }
}
