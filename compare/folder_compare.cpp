#include "compare/folder_compare.h"

#include <windows.h>

#include <memory>
#include <new>

#include "base/hash_stop.h"
#include "base/long_path.h"
#include "base/scoped_handle.h"
#include "compare/compare_findings.h"
#include "compare/compare_plan.h"
#include "compare/original_record.h"
#include "gather/folder_walk.h"

namespace {

// The least time between two reports of progress.
const ULONGLONG ProgressInterval = 250;

struct Comparison {
    const CompareRequest& request;
    const CompareSink& sink;
    CompareTally& tally;
    ComparePlan plan;
    size_t emitted; // pairs whose findings are out
    std::unique_ptr<OriginalRecord> record;
    ULONGLONG lastProgress;
};

// A side that memory does not hold counts as one that cannot be listed.
DWORD WINAPI ListSideThread(LPVOID side) {
    SideListing& listing = *static_cast<SideListing*>(side);
    try {
        ListSide(listing);
    } catch (const std::bad_alloc&) {
        listing.listed = false;
        listing.entries.clear();
    }
    return 0;
}

void ReportProgress(Comparison& run, const RunCounts& counts, const std::string& path) {
    const ULONGLONG now = GetTickCount64();
    if (run.sink.progress && now - run.lastProgress >= ProgressInterval) {
        run.lastProgress = now;
        run.sink.progress(counts, path.c_str(), run.sink.context);
    }
}

// Both sides walked at once, a thread each (or one after the other when no thread starts); a stop
// cancels a search that hangs (a stalled share).
void ListBoth(Comparison& run) {
    HANDLE threads[2] = {};
    DWORD started = 0;
    for (ComparedSide& side : run.plan.sides) {
        HANDLE thread = CreateThread(NULL, 0, ListSideThread, &side.listing, 0, NULL);
        if (thread) {
            threads[started++] = thread;
        } else {
            ListSide(side.listing);
        }
    }
    while (started > 0 && WaitForMultipleObjects(started, threads, TRUE,
                                                 static_cast<DWORD>(ProgressInterval)) == WAIT_TIMEOUT) {
        RunCounts counts = {};
        for (const ComparedSide& side : run.plan.sides) {
            counts.filesAll += static_cast<uint64_t>(side.listing.filesFound);
        }
        counts.bytesAll = static_cast<uint64_t>(run.plan.sides[SideOriginal].listing.bytesFound) +
                          static_cast<uint64_t>(run.plan.sides[SideCopy].listing.bytesFound);
        ReportProgress(run, counts, run.plan.sides[SideOriginal].listing.root);
        for (DWORD k = 0; k < started && HashStopRequested(); ++k) {
            CancelSynchronousIo(threads[k]);
        }
    }
    for (DWORD k = 0; k < started; ++k) {
        CloseHandle(threads[k]);
    }
}

// The results a side's reader has finished since the last look: MOVED groups whose reads are all in
// are resolved, the original's files go into the recorded list.
void TakeResults(Comparison& run, CompareSide which) {
    ComparedSide& side = run.plan.sides[which];
    for (const size_t finished = side.reader->Finished(); side.taken < finished; ++side.taken) {
        const int entry = side.entryOf[side.taken];
        const SideEntry& found = Entry(run.plan, which, entry);
        side.bytesRead += found.size;
        const int group = side.groupOf[static_cast<size_t>(entry)];
        if (group != NoEntry && --run.plan.groups[static_cast<size_t>(group)].pending == 0) {
            ResolveGroup(run.plan, run.plan.groups[static_cast<size_t>(group)]);
        }
        const SideResult& result = side.reader->Result(side.taken);
        if (run.record && which == SideOriginal && !ReadFailed(run.plan, which, entry)) {
            run.record->Add(side.reads[side.taken].path, result.digest,
                            FileRecord{result.read, result.written});
        }
    }
}

void ReportReading(Comparison& run) {
    RunCounts counts = {run.plan.filesUnread, run.plan.filesAll, true, 0, run.plan.bytesAll, true};
    std::string path;
    for (CompareSide which : {SideCopy, SideOriginal}) {
        const ComparedSide& side = run.plan.sides[which];
        std::string reading;
        counts.filesDone += side.taken;
        counts.bytesDone += side.bytesRead + side.reader->Reading(reading);
        path = reading.empty() ? path : reading; // the original's, while it reads
    }
    ReportProgress(run, counts, path);
}

// Takes the readers' results as they come and hands out the findings as they are settled; false when
// a stop (or a lack of memory) cut the reads short.
bool FindAll(Comparison& run, HANDLE advanced) {
    for (MoveGroup& group : run.plan.groups) {
        if (group.pending == 0) {
            ResolveGroup(run.plan, group); // empty files alone
        }
    }
    for (;;) {
        const bool ended =
            run.plan.sides[SideOriginal].reader->Ended() && run.plan.sides[SideCopy].reader->Ended();
        TakeResults(run, SideOriginal);
        TakeResults(run, SideCopy);
        FindSettled(run.plan, run.emitted, run.sink, run.tally);
        if (run.emitted == run.plan.pairs.size()) {
            return true;
        }
        if (ended || HashStopRequested()) {
            return false;
        }
        ReportReading(run);
        WaitForSingleObject(advanced, static_cast<DWORD>(ProgressInterval));
    }
}

// Reads both sides at once, each by a reader of its own; false when a stop (or a lack of memory) cut
// it short. The readers are gone when it returns.
bool ReadBoth(Comparison& run) {
    ScopedFile advanced(CreateEventA(NULL, FALSE, FALSE, NULL));
    bool started = advanced.IsValid();
    for (CompareSide which : {SideOriginal, SideCopy}) {
        ComparedSide& side = run.plan.sides[which];
        const LastWrite lastWrite = which == SideOriginal && run.record ? LastWriteRead : LastWriteSkipped;
        side.reader.reset(new SideReader(side.reads, run.request.kind, lastWrite, advanced.Get()));
        started = started && side.reader->Start();
    }
    const bool finished = started && FindAll(run, advanced.Get());
    // Before the event goes: a reader sets it up to its end.
    for (ComparedSide& side : run.plan.sides) {
        side.reader.reset();
    }
    return finished;
}

// Whether path lies below folder.
bool Inside(const std::string& path, const std::string& folder) {
    const bool separated = !folder.empty() && folder.back() == '\\';
    return path.size() > folder.size() && SamePath(path.substr(0, folder.size()), folder) &&
           (separated || path[folder.size()] == '\\');
}

std::string LastName(const std::string& path) { return path.substr(path.find_last_of('\\') + 1); }

} // namespace

bool ComparePassed(const CompareTally& tally) {
    return tally.different == 0 && tally.missing == 0 && tally.extra == 0 && tally.moved == 0 &&
           tally.readErrors == 0 && tally.otherForms == 0;
}

CompareOutcome CompareFolders(const CompareRequest& request, const CompareSink& sink, CompareTally& tally,
                              bool& copyInside) {
    tally = CompareTally();
    copyInside = false;
    Comparison run = {request, sink, tally, {}, 0, NULL, 0};
    SideListing& original = run.plan.sides[SideOriginal].listing;
    SideListing& copy = run.plan.sides[SideCopy].listing;
    original.root = FullPath(request.original);
    copy.root = FullPath(request.copy);
    const DWORD originalAttributes = PathAttributes(original.root);
    const DWORD copyAttributes = PathAttributes(copy.root);
    if (originalAttributes == INVALID_FILE_ATTRIBUTES) {
        return CompareOriginalUnreadable;
    }
    if (copyAttributes == INVALID_FILE_ATTRIBUTES) {
        return CompareCopyUnreadable;
    }
    if (SamePath(original.root, copy.root) || SameFileOrFolder(original.root, copy.root)) {
        return CompareSameFolder;
    }
    const bool originalFolder = (originalAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    const bool copyFolder = (copyAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    // A file alone is named as itself; two files pair whatever their names.
    original.name = originalFolder ? std::string() : LastName(original.root);
    copy.name = copyFolder ? std::string() : originalFolder ? LastName(copy.root) : original.name;
    copyInside = originalFolder && Inside(copy.root, original.root);
    original.leave = copyInside ? copy.root : std::string();
    ListBoth(run);
    if (HashStopRequested()) {
        return CompareStopped;
    }
    if (!original.listed) {
        return CompareOriginalUnreadable;
    }
    if (!copy.listed) {
        return CompareCopyUnreadable;
    }
    run.plan.pairs = PairNames(original.entries, copy.entries);
    if (!request.record.empty()) {
        run.record.reset(new OriginalRecord(request.record, original.root, originalFolder, request.kind));
    }
    PlanReads(run.plan, run.record != NULL);
    if (!ReadBoth(run)) {
        return CompareStopped;
    }
    return run.record && !run.record->Commit() ? CompareRecordFailed : CompareFinished;
}
