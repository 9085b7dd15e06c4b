#include "compare/folder_compare.h"

#include <windows.h>

#include <algorithm>
#include <map>
#include <memory>
#include <new>
#include <vector>

#include "base/hash_stop.h"
#include "base/long_path.h"
#include "base/scoped_handle.h"
#include "compare/moved_matching.h"
#include "compare/name_pairing.h"
#include "compare/original_record.h"
#include "compare/side_listing.h"
#include "compare/side_reading.h"
#include "gather/folder_walk.h"

namespace {

// The least time between two reports of progress.
const ULONGLONG ProgressInterval = 250;
const int NoEntry = -1;

// The files of one size that only one side or the other has: read, they may pair up as MOVED.
struct MoveGroup {
    std::vector<int> missing; // original entries, in path order
    std::vector<int> extra;   // copy entries, in path order
    int pending;              // their reads not yet finished
    bool resolved;
};

struct Side {
    SideListing listing;
    std::vector<SideRead> reads; // in path order
    std::vector<int> entryOf;    // by read: its entry
    std::vector<int> readOf;     // by entry: its place in reads, or NoEntry
    std::vector<int> groupOf;    // by entry: its MoveGroup, or NoEntry
    std::vector<int> movedWith;  // by entry: the other side's entry it pairs with as MOVED, or NoEntry
    std::unique_ptr<SideReader> reader;
    size_t seen;                  // reads whose results are taken
    unsigned long long bytesSeen; // their listed sizes
};

struct Comparison {
    const CompareRequest& request;
    const CompareSink& sink;
    CompareTally& tally;
    Side sides[2]; // by CompareSide
    std::vector<EntryPair> pairs;
    std::vector<MoveGroup> groups;
    size_t emitted; // pairs whose findings are out
    std::unique_ptr<OriginalRecord> record;
    unsigned long long filesAll;
    unsigned long long filesUnread; // need no read: done once paired
    unsigned long long bytesAll;    // to read
    ULONGLONG lastProgress;
};

int EntryOf(const EntryPair& pair, CompareSide side) {
    return side == SideOriginal ? pair.original : pair.copy;
}

const SideEntry& Entry(const Comparison& run, CompareSide side, int entry) {
    return run.sides[side].listing.entries[static_cast<size_t>(entry)];
}

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
    for (Side& side : run.sides) {
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
        for (const Side& side : run.sides) {
            counts.filesAll += static_cast<uint64_t>(side.listing.filesFound);
        }
        counts.bytesAll = static_cast<uint64_t>(run.sides[SideOriginal].listing.bytesFound) +
                          static_cast<uint64_t>(run.sides[SideCopy].listing.bytesFound);
        ReportProgress(run, counts, run.sides[SideOriginal].listing.root);
        for (DWORD k = 0; k < started && HashStopRequested(); ++k) {
            CancelSynchronousIo(threads[k]);
        }
    }
    for (DWORD k = 0; k < started; ++k) {
        CloseHandle(threads[k]);
    }
}

void AddRead(Comparison& run, CompareSide which, int entry) {
    Side& side = run.sides[which];
    const SideEntry& found = Entry(run, which, entry);
    side.readOf[static_cast<size_t>(entry)] = static_cast<int>(side.reads.size());
    side.reads.push_back(SideRead{EntryFullPath(side.listing, found)});
    side.entryOf.push_back(entry);
    run.bytesAll += found.size;
}

// The sizes of the files that one side alone has, and of them those both sides have: the MOVED groups.
void FindMoveGroups(Comparison& run) {
    std::map<unsigned long long, int> sides[2]; // by size: which sides have one, as bits
    for (const EntryPair& pair : run.pairs) {
        for (CompareSide which : {SideOriginal, SideCopy}) {
            const int entry = EntryOf(pair, which);
            if (entry != NoEntry &&
                EntryOf(pair, which == SideOriginal ? SideCopy : SideOriginal) == NoEntry &&
                Entry(run, which, entry).kind == EntryFile) {
                sides[which][Entry(run, which, entry).size] = 1;
            }
        }
    }
    std::map<unsigned long long, int> groupOfSize;
    for (const auto& size : sides[SideOriginal]) {
        if (sides[SideCopy].count(size.first)) {
            groupOfSize[size.first] = static_cast<int>(run.groups.size());
            run.groups.push_back(MoveGroup{{}, {}, 0, false});
        }
    }
    for (const EntryPair& pair : run.pairs) {
        const CompareSide which = pair.copy == NoEntry ? SideOriginal : SideCopy;
        const int entry = EntryOf(pair, which);
        if ((pair.original == NoEntry) == (pair.copy == NoEntry) ||
            Entry(run, which, entry).kind != EntryFile) {
            continue;
        }
        const auto group = groupOfSize.find(Entry(run, which, entry).size);
        if (group != groupOfSize.end()) {
            run.sides[which].groupOf[static_cast<size_t>(entry)] = group->second;
            MoveGroup& moves = run.groups[static_cast<size_t>(group->second)];
            (which == SideOriginal ? moves.missing : moves.extra).push_back(entry);
        }
    }
}

// What each side reads, in path order: files of equal size on both sides, the MOVED candidates and,
// for a recorded list, every file of the original. Empty files need no read to be compared.
void PlanReads(Comparison& run) {
    for (Side& side : run.sides) {
        const size_t count = side.listing.entries.size();
        side.readOf.assign(count, NoEntry);
        side.groupOf.assign(count, NoEntry);
        side.movedWith.assign(count, NoEntry);
        for (const SideEntry& entry : side.listing.entries) {
            run.filesAll += entry.kind == EntryFile ? 1 : 0;
        }
    }
    FindMoveGroups(run);
    const bool recording = run.record != NULL;
    for (const EntryPair& pair : run.pairs) {
        const bool both = pair.original != NoEntry && pair.copy != NoEntry;
        for (CompareSide which : {SideOriginal, SideCopy}) {
            const int entry = EntryOf(pair, which);
            if (entry == NoEntry || Entry(run, which, entry).kind != EntryFile) {
                continue;
            }
            const SideEntry& found = Entry(run, which, entry);
            const int other = EntryOf(pair, which == SideOriginal ? SideCopy : SideOriginal);
            const bool compared =
                both &&
                Entry(run, which == SideOriginal ? SideCopy : SideOriginal, other).kind == EntryFile &&
                Entry(run, which == SideOriginal ? SideCopy : SideOriginal, other).size == found.size;
            const int group = run.sides[which].groupOf[static_cast<size_t>(entry)];
            if ((found.size > 0 && (compared || group != NoEntry)) || (recording && which == SideOriginal)) {
                AddRead(run, which, entry);
                if (group != NoEntry) {
                    ++run.groups[static_cast<size_t>(group)].pending;
                }
            } else {
                ++run.filesUnread;
            }
        }
    }
}

// Whether the read of entry failed: not opened, not read to its end, or of another size than listed
// (changed while read). False for a file not read.
bool ReadFailed(const Comparison& run, CompareSide which, int entry) {
    const Side& side = run.sides[which];
    const int read = side.readOf[static_cast<size_t>(entry)];
    if (read == NoEntry) {
        return false;
    }
    const SideResult& result = side.reader->Result(static_cast<size_t>(read));
    return result.outcome != FileDigested || result.read != Entry(run, which, entry).size;
}

// The key of a path's last name.
std::wstring NameKey(const std::wstring& key) {
    const size_t separator = key.rfind(KeySeparator);
    return separator == std::wstring::npos ? key : key.substr(separator + 1);
}

std::vector<MoveCandidate> Candidates(const Comparison& run, CompareSide which,
                                      const std::vector<int>& entries, std::vector<int>& kept) {
    std::vector<MoveCandidate> candidates;
    for (int entry : entries) {
        if (ReadFailed(run, which, entry)) {
            continue; // a READ ERROR
        }
        const SideEntry& found = Entry(run, which, entry);
        const int read = run.sides[which].readOf[static_cast<size_t>(entry)];
        // Empty files are alike unread; read for a record, they keep that alike.
        const std::string digest = found.size == 0
                                       ? std::string()
                                       : run.sides[which].reader->Result(static_cast<size_t>(read)).digest;
        candidates.push_back(MoveCandidate{NameKey(found.key), digest});
        kept.push_back(entry);
    }
    return candidates;
}

void ResolveGroup(Comparison& run, MoveGroup& group) {
    std::vector<int> missing;
    std::vector<int> extra;
    const std::vector<MoveCandidate> missingCandidates =
        Candidates(run, SideOriginal, group.missing, missing);
    const std::vector<MoveCandidate> extraCandidates = Candidates(run, SideCopy, group.extra, extra);
    for (const auto& moved : MatchMoved(missingCandidates, extraCandidates)) {
        const int original = missing[moved.first];
        const int copy = extra[moved.second];
        run.sides[SideOriginal].movedWith[static_cast<size_t>(original)] = copy;
        run.sides[SideCopy].movedWith[static_cast<size_t>(copy)] = original;
    }
    group.resolved = true;
}

// The results a side's reader has finished since the last look: MOVED groups whose reads are all in
// are resolved, the original's files go into the recorded list.
void TakeResults(Comparison& run, CompareSide which) {
    Side& side = run.sides[which];
    for (const size_t finished = side.reader->Finished(); side.seen < finished; ++side.seen) {
        const int entry = side.entryOf[side.seen];
        const SideEntry& found = Entry(run, which, entry);
        side.bytesSeen += found.size;
        const int group = side.groupOf[static_cast<size_t>(entry)];
        if (group != NoEntry && --run.groups[static_cast<size_t>(group)].pending == 0) {
            ResolveGroup(run, run.groups[static_cast<size_t>(group)]);
        }
        const SideResult& result = side.reader->Result(side.seen);
        if (run.record && which == SideOriginal && !ReadFailed(run, which, entry)) {
            run.record->Add(side.reads[side.seen].path, result.digest,
                            FileRecord{result.read, result.written});
        }
    }
}

// Whether the findings of a pair are known: its files' reads are in, its MOVED group resolved.
bool Settled(const Comparison& run, const EntryPair& pair) {
    for (CompareSide which : {SideOriginal, SideCopy}) {
        const int entry = EntryOf(pair, which);
        if (entry == NoEntry) {
            continue;
        }
        const Side& side = run.sides[which];
        const int read = side.readOf[static_cast<size_t>(entry)];
        const int group = side.groupOf[static_cast<size_t>(entry)];
        if ((read != NoEntry && static_cast<size_t>(read) >= side.seen) ||
            (group != NoEntry && !run.groups[static_cast<size_t>(group)].resolved)) {
            return false;
        }
    }
    return true;
}

// Whether the other side holds anything below the folder of key: then an empty folder is no finding.
bool HoldsBelow(const Comparison& run, CompareSide which, const std::wstring& key) {
    const std::vector<SideEntry>& entries = run.sides[which].listing.entries;
    const auto below =
        std::lower_bound(entries.begin(), entries.end(), key,
                         [](const SideEntry& entry, const std::wstring& k) { return entry.key < k; });
    return below != entries.end() && below->key.compare(0, key.size(), key) == 0 &&
           below->key.size() > key.size();
}

void Found(Comparison& run, CompareVerdict verdict, CompareSide side, const std::string& path,
           const std::string& copyPath = std::string(), bool otherForm = false) {
    int* const counts[] = {&run.tally.same,  &run.tally.different, &run.tally.missing,
                           &run.tally.extra, &run.tally.moved,     &run.tally.readErrors};
    ++*counts[verdict];
    run.tally.otherForms += otherForm ? 1 : 0;
    const CompareFinding finding = {verdict, path, copyPath, side, otherForm};
    if (run.sink.found) {
        run.sink.found(finding, run.sink.context);
    }
}

// The findings of an entry one side alone has.
void FoundAlone(Comparison& run, CompareSide which, int entry) {
    const SideEntry& found = Entry(run, which, entry);
    const CompareSide other = which == SideOriginal ? SideCopy : SideOriginal;
    const CompareVerdict absent = which == SideOriginal ? CompareMissing : CompareExtra;
    const int moved = run.sides[which].movedWith[static_cast<size_t>(entry)];
    if (found.kind == EntryUnreadable || ReadFailed(run, which, entry)) {
        Found(run, CompareReadError, which, found.path);
    } else if (found.kind == EntryEmptyFolder) {
        if (!HoldsBelow(run, other, found.key)) {
            Found(run, absent, which, found.path);
        }
    } else if (moved == NoEntry) {
        Found(run, absent, which, found.path);
    } else if (which == SideOriginal) {
        Found(run, CompareMoved, SideOriginal, found.path, Entry(run, SideCopy, moved).path);
    }
}

// The findings of a pair's entries, in order.
void FoundPair(Comparison& run, const EntryPair& pair) {
    const SideEntry& original = Entry(run, SideOriginal, pair.original);
    const SideEntry& copy = Entry(run, SideCopy, pair.copy);
    const bool unread[2] = {original.kind == EntryUnreadable || ReadFailed(run, SideOriginal, pair.original),
                            copy.kind == EntryUnreadable || ReadFailed(run, SideCopy, pair.copy)};
    if (unread[SideOriginal] || unread[SideCopy]) {
        for (CompareSide which : {SideOriginal, SideCopy}) {
            if (unread[which]) {
                Found(run, CompareReadError, which, Entry(run, which, EntryOf(pair, which)).path);
            }
        }
        return;
    }
    bool same = original.size == copy.size;
    if (same && original.kind == EntryFile && original.size > 0) {
        const int read[2] = {run.sides[SideOriginal].readOf[static_cast<size_t>(pair.original)],
                             run.sides[SideCopy].readOf[static_cast<size_t>(pair.copy)]};
        same = run.sides[SideOriginal].reader->Result(static_cast<size_t>(read[SideOriginal])).digest ==
               run.sides[SideCopy].reader->Result(static_cast<size_t>(read[SideCopy])).digest;
    }
    Found(run, same ? CompareSame : CompareDifferent, SideOriginal, original.path,
          pair.otherForm ? copy.path : std::string(), pair.otherForm);
}

// Hands out the findings of the pairs, in path order, as far as they are settled.
void FindSettled(Comparison& run) {
    for (; run.emitted < run.pairs.size() && Settled(run, run.pairs[run.emitted]); ++run.emitted) {
        const EntryPair& pair = run.pairs[run.emitted];
        if (pair.original != NoEntry && pair.copy != NoEntry) {
            FoundPair(run, pair);
        } else if (pair.original != NoEntry) {
            FoundAlone(run, SideOriginal, pair.original);
        } else {
            FoundAlone(run, SideCopy, pair.copy);
        }
    }
}

void ReportReading(Comparison& run) {
    RunCounts counts = {run.filesUnread, run.filesAll, true, 0, run.bytesAll, true};
    std::string path;
    for (CompareSide which : {SideCopy, SideOriginal}) {
        const Side& side = run.sides[which];
        std::string reading;
        counts.filesDone += side.seen;
        counts.bytesDone += side.bytesSeen + side.reader->Reading(reading);
        path = reading.empty() ? path : reading; // the original's, while it reads
    }
    ReportProgress(run, counts, path);
}

// Reads both sides at once and hands out the findings as they are settled; false when a stop (or a
// lack of memory) cut it short.
bool ReadBoth(Comparison& run) {
    ScopedFile advanced(CreateEventA(NULL, FALSE, FALSE, NULL));
    if (!advanced.IsValid()) {
        return false;
    }
    for (CompareSide which : {SideOriginal, SideCopy}) {
        Side& side = run.sides[which];
        side.reader.reset(new SideReader(
            side.reads, run.request.kind,
            which == SideOriginal && run.record ? LastWriteRead : LastWriteSkipped, advanced.Get()));
        if (!side.reader->Start()) {
            return false;
        }
    }
    for (MoveGroup& group : run.groups) {
        if (group.pending == 0) {
            ResolveGroup(run, group); // empty files alone
        }
    }
    for (;;) {
        const bool ended = run.sides[SideOriginal].reader->Ended() && run.sides[SideCopy].reader->Ended();
        TakeResults(run, SideOriginal);
        TakeResults(run, SideCopy);
        FindSettled(run);
        if (run.emitted == run.pairs.size()) {
            return true;
        }
        if (ended || HashStopRequested()) {
            return false;
        }
        ReportReading(run);
        WaitForSingleObject(advanced.Get(), static_cast<DWORD>(ProgressInterval));
    }
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
    Comparison run = {request, sink, tally, {}, {}, {}, 0, NULL, 0, 0, 0, 0};
    SideListing& original = run.sides[SideOriginal].listing;
    SideListing& copy = run.sides[SideCopy].listing;
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
    run.pairs = PairNames(original.entries, copy.entries);
    if (!request.record.empty()) {
        run.record.reset(new OriginalRecord(request.record, original.root, originalFolder, request.kind));
    }
    PlanReads(run);
    if (!ReadBoth(run)) {
        return CompareStopped;
    }
    return run.record && !run.record->Commit() ? CompareRecordFailed : CompareFinished;
}
