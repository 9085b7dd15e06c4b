#include "base/blake3_parallel.h"

#include <stdlib.h>

#include <memory>

#include "base/digest_workers.h"
#include "base/scoped_handle.h"
#include "engine/blake3.h"

namespace {

const ULONGLONG DefaultParallelFrom = 16ull << 20;
// Each lane reads a part in pieces of this size, the steps at which the caller asks its check and the
// others look whether to give up.
const DWORD ReadSize = 1 << 20;
// Parts per lane, so that a lane the scheduler holds back leaves little for the others at the end; and
// the smallest part in chunks.
const uint64_t PartsPerLane = 4;
const uint64_t LeastPartChunks = 64;
// How long the caller waits for the other lanes before it asks its check again, in milliseconds.
const DWORD WaitInterval = 10;

struct ReleaseDigestor {
    void operator()(CDigestor_BLAKE3* digestor) const { digestor->Release(); }
};
typedef std::unique_ptr<CDigestor_BLAKE3, ReleaseDigestor> Blake3Holder;

// What the lanes share. The last part goes to tail, whose Finish waits for the roots of the others.
struct Split {
    const char* path;
    ULONGLONG size;
    uint64_t partChunks; // a power of two
    LONG partCount;
    uint32_t (*roots)[8]; // of every part but the last, in message order
    CDigestor_BLAKE3* tail;
    volatile LONG nextPart;
    volatile LONG64 done;    // bytes digested by all lanes
    volatile LONG abandoned; // a lane stopped or failed: the others take nothing more
    volatile LONG readFailed;
    BlockCheck check; // the caller's lane alone asks it
    void* context;
};

enum LaneEnd { LaneDone, LaneStopped, LaneFailed };

// Takes parts until none is left: each read from its first byte into own, or into the split's tail for
// the last one, and its root kept where it is not the last.
LaneEnd DigestParts(Split& split, HANDLE file, uint8_t* buffer, CDigestor_BLAKE3* own, bool caller) {
    for (;;) {
        const LONG part = InterlockedIncrement(&split.nextPart) - 1;
        if (part >= split.partCount || split.abandoned) {
            return LaneDone;
        }
        const bool last = part == split.partCount - 1;
        CDigestor_BLAKE3* digestor = last ? split.tail : own;
        const uint64_t first = static_cast<uint64_t>(part) * split.partChunks;
        ULONGLONG at = first * Blake3ChunkSize;
        const ULONGLONG end = last ? split.size : at + split.partChunks * Blake3ChunkSize;
        digestor->StartAt(first);
        LARGE_INTEGER position;
        position.QuadPart = static_cast<LONGLONG>(at);
        if (!SetFilePointerEx(file, position, NULL, FILE_BEGIN)) {
            return LaneFailed;
        }
        while (at < end) {
            if (caller && !split.check(static_cast<ULONGLONG>(split.done), split.context)) {
                return LaneStopped;
            }
            if (split.abandoned) {
                return LaneDone;
            }
            const DWORD wanted = end - at < ReadSize ? static_cast<DWORD>(end - at) : ReadSize;
            DWORD got = 0;
            if (!ReadFile(file, buffer, wanted, &got, NULL) || got == 0) {
                return LaneFailed;
            }
            digestor->Update(buffer, got);
            at += got;
            InterlockedExchangeAdd64(&split.done, static_cast<LONG64>(got));
        }
        if (!last) {
            digestor->SubtreeRoot(split.roots[part]);
        }
    }
}

void Abandon(Split& split, LaneEnd end) {
    if (end == LaneFailed) {
        InterlockedExchange(&split.readFailed, 1);
    }
    if (end != LaneDone) {
        InterlockedExchange(&split.abandoned, 1);
    }
}

DWORD WINAPI LaneWork(LPVOID context) {
    Split& split = *static_cast<Split*>(context);
    ScopedFile file(OpenToRead(split.path));
    std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[ReadSize]);
    CDigestor_BLAKE3* made = new (std::nothrow) CDigestor_BLAKE3();
    Blake3Holder own(made);
    if (file.IsValid() && buffer && own) {
        Abandon(split, DigestParts(split, file.Get(), buffer.get(), own.get(), false));
    }
    return 0;
}

} // namespace

ULONGLONG Blake3ParallelFrom() {
    char text[24];
    DWORD length = GetEnvironmentVariableA("DIGESTOR_PARALLEL_FROM", text, sizeof text);
    if (length > 0 && length < sizeof text) {
        return _strtoui64(text, NULL, 10);
    }
    return DefaultParallelFrom;
}

FileOutcome DigestBlake3Parallel(const char* path, HANDLE file, ULONGLONG size, int lanes, BlockCheck check,
                                 void* context, std::string& digest) {
    if (lanes < 1) {
        lanes = 1;
    }
    if (lanes > MostWorkers) {
        lanes = MostWorkers;
    }
    const uint64_t chunks = size == 0 ? 1 : (size + Blake3ChunkSize - 1) / Blake3ChunkSize;
    Split split = {};
    split.path = path;
    split.size = size;
    split.partChunks = LeastPartChunks;
    while (split.partChunks * PartsPerLane * static_cast<uint64_t>(lanes) < chunks) {
        split.partChunks *= 2;
    }
    split.partCount = static_cast<LONG>((chunks + split.partChunks - 1) / split.partChunks);
    split.check = check;
    split.context = context;
    std::unique_ptr<uint32_t[][8]> roots(new uint32_t[split.partCount][8]);
    Blake3Holder tail(new CDigestor_BLAKE3());
    Blake3Holder own(new CDigestor_BLAKE3());
    std::unique_ptr<uint8_t[]> buffer(new uint8_t[ReadSize]);
    split.tail = tail.get();
    split.roots = roots.get();

    HANDLE threads[MostWorkers];
    DWORD started = 0;
    while (started + 1 < static_cast<DWORD>(lanes) && started + 1 < static_cast<DWORD>(split.partCount) &&
           (threads[started] = CreateThread(NULL, 0, LaneWork, &split, 0, NULL)) != NULL) {
        ++started;
    }
    LaneEnd end = DigestParts(split, file, buffer.get(), own.get(), true);
    bool stopped = end == LaneStopped;
    Abandon(split, end);
    // The others end their reads within a MiB; a stop, or a read that failed, cancels the ones that hang.
    while (started > 0 && WaitForMultipleObjects(started, threads, TRUE, WaitInterval) == WAIT_TIMEOUT) {
        if (!stopped && !split.check(static_cast<ULONGLONG>(split.done), context)) {
            stopped = true;
            Abandon(split, LaneStopped);
        }
        if (split.abandoned) {
            for (DWORD k = 0; k < started; ++k) {
                CancelSynchronousIo(threads[k]);
            }
        }
    }
    for (DWORD k = 0; k < started; ++k) {
        CloseHandle(threads[k]);
    }
    if (stopped || (!split.readFailed && !check(size, context))) {
        return FileStopped;
    }
    if (split.readFailed) {
        return FileReadFailed;
    }
    tail->JoinAfter(roots.get(), static_cast<size_t>(split.partCount - 1));
    tail->Finish();
    digest = tail->DigestText();
    return FileDigested;
}
