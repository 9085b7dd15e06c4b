#include "base/digest_workers.h"

#include <stdlib.h>
#include <string.h>

#include <new>

#include "base/algorithm_names.h"
#include "base/blake3_parallel.h"
#include "base/digest_set.h"
#include "base/scoped_handle.h"
#include "base/scoped_lock.h"
#include "base/seek_penalty.h"

namespace {

// One lock for every instance; a comparison runs two at once (one for each side), each with a job
// of its own. Every waiter looks again at what it waits for: a wake may have been meant for the
// other instance.
SRWLOCK Lock = SRWLOCK_INIT;
CONDITION_VARIABLE WorkOffered = CONDITION_VARIABLE_INIT; // workers wait for entries
CONDITION_VARIABLE SlotsMoved = CONDITION_VARIABLE_INIT;  // jobs wait for slots opened or done

// How often the end cancels the workers' pending I/O again: an open or a read
// that starts after one cancel is caught by the next.
const DWORD CancelInterval = 20;

// A file larger than this is read in more than one piece: its size is asked once this much of it
// is digested, and the job, if it waits for it, is woken to name it. A smaller one is done about as
// soon as it is opened, so it wakes nobody (under Wine a wake costs about as much as such a file),
// and what was read is its size.
const ULONGLONG NamedFrom = 64 * 1024;

// The step of SideDelay's waits.
const ULONGLONG DiskStep = 1024 * 1024;

// Written while the job may look: the same 64 bits whole, as done is (KnownSize reads them).
void SetSize(WorkSlot& slot, ULONGLONG size) {
    InterlockedExchange64(reinterpret_cast<volatile LONG64*>(&slot.size), static_cast<LONG64>(size));
}

struct BlockWatch {
    DigestWorkers* workers;
    WorkSlot* slot;
    int index;
    HashBlockHook hook;
    HANDLE file;
    bool sized; // the size is asked
};

// Before each block: the bytes done for the job's bar, the size once the file outlasts its first
// read, the test hook, the stop request.
bool CheckBlock(ULONGLONG done, void* context) {
    BlockWatch& watch = *static_cast<BlockWatch*>(context);
    InterlockedExchange64(&watch.slot->done, static_cast<LONG64>(done));
    if (!watch.sized && done >= NamedFrom) {
        watch.sized = true;
        LARGE_INTEGER size = {};
        GetFileSizeEx(watch.file, &size);
        watch.workers->TakeSize(watch.index, static_cast<ULONGLONG>(size.QuadPart));
    }
    if (watch.hook) {
        watch.hook(watch.index, done);
    }
    if (done > 0 && done % DiskStep == 0 && SideDelay() > 0) {
        watch.workers->WaitAsDisk();
    }
    return !HashStopRequested();
}

} // namespace

void FillSlot(WorkSlot& slot, const std::string& path, DigestKind kind, const KindTries& tries,
              LastWrite lastWrite) {
    const bool fits = path.size() < sizeof slot.path;
    memcpy(slot.path, fits ? path.c_str() : "", fits ? path.size() + 1 : 1);
    slot.kind = kind;
    slot.tries = tries;
    slot.serial = fits && HasSeekPenalty(slot.path);
    slot.leave = false;
    slot.lastWrite = lastWrite;
    slot.state = fits ? SlotWaiting : SlotDone;
    slot.size = 0;
    slot.written = 0;
    slot.done = 0;
    slot.outcome = fits ? FileStopped : FileOpenFailed;
    slot.digest.clear();
}

ULONGLONG KnownSize(const WorkSlot& slot) {
    return static_cast<ULONGLONG>(InterlockedCompareExchange64(
        reinterpret_cast<volatile LONG64*>(const_cast<ULONGLONG*>(&slot.size)), 0, 0));
}

ULONGLONG FinishedBytes(const WorkSlot& slot) {
    const ULONGLONG size = KnownSize(slot);
    const ULONGLONG done = static_cast<ULONGLONG>(slot.done);
    return done > size ? done : size;
}

// The file again from its start, with every kind of tries.others at once: the slot takes the one
// that gives the digest expected, and keeps its own kind and digest where none does (or the file
// cannot be read again). FileStopped for a stop.
FileOutcome TryOthers(WorkSlot& slot, HANDLE file, BlockWatch* watch) {
    LARGE_INTEGER start = {};
    if (!SetFilePointerEx(file, start, NULL, FILE_BEGIN)) {
        return FileDigested;
    }
    InterlockedExchange64(&slot.done, 0);
    DigestSet set(slot.tries.others);
    const FileOutcome outcome = DigestOpenFileSet(file, set, CheckBlock, watch);
    if (outcome == FileStopped) {
        return outcome;
    }
    for (size_t i = 0; outcome == FileDigested && i < set.Count(); ++i) {
        if (set.DigestText(i) == slot.tries.expected) {
            slot.kind = set.Kind(i);
            slot.digest = slot.tries.expected;
        }
    }
    return FileDigested;
}

// One digestor of each kind a worker meets, made when first needed.
class Digestors {
public:
    Digestors() : m_made() {}
    ~Digestors() {
        for (IDigestor* digestor : m_made) {
            if (digestor) {
                digestor->Release();
            }
        }
    }
    Digestors(const Digestors&) = delete;
    Digestors& operator=(const Digestors&) = delete;
    IDigestor* Get(DigestKind kind) {
        if (!m_made[kind]) {
            m_made[kind] = CreateDigestor(kind);
        }
        return m_made[kind];
    }

private:
    IDigestor* m_made[KindCount];
};

int WorkerCount() {
    char text[8];
    DWORD length = GetEnvironmentVariableA("DIGESTOR_WORKERS", text, sizeof text);
    if (length > 0 && length < sizeof text) {
        int wanted = atoi(text);
        if (wanted >= 1 && wanted <= MostWorkers) {
            return wanted;
        }
    }
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    return system.dwNumberOfProcessors < static_cast<DWORD>(MostWorkers)
               ? static_cast<int>(system.dwNumberOfProcessors)
               : MostWorkers;
}

int SideDelay() {
    static const int delay = [] {
        char text[8];
        const DWORD length = GetEnvironmentVariableA("DIGESTOR_SIDE_DELAY", text, sizeof text);
        return length > 0 && length < sizeof text ? atoi(text) : 0;
    }();
    return delay;
}

void WakeDigestWorkers() {
    // Under the lock, so that no worker or job is between its look and its sleep.
    ExclusiveLock lock(Lock);
    WakeAllConditionVariable(&WorkOffered);
    WakeAllConditionVariable(&SlotsMoved);
}

DigestWorkers::DigestWorkers()
    : m_slots(), m_threads(), m_started(0), m_hook(NULL), m_filled(0), m_taken(0), m_serialBusy(0),
      m_waitedHead(-1), m_waitedFilled(0), m_wanted(0), m_jobWoken(false), m_ending(false) {
    InitializeSRWLock(&m_disk);
}

DigestWorkers::~DigestWorkers() {
    for (int k = 0; k < m_started; ++k) {
        CloseHandle(m_threads[k]);
    }
}

bool DigestWorkers::Start(int wanted, HashBlockHook hook) {
    m_hook = hook;
    SetStopWaker(WakeDigestWorkers); // a stop wakes whoever waits for work or results
    while (m_started < wanted && m_started < MostWorkers &&
           (m_threads[m_started] = CreateThread(NULL, 0, Work, this, 0, NULL)) != NULL) {
        ++m_started;
    }
    return m_started > 0;
}

void DigestWorkers::Offer(int filled) {
    ExclusiveLock lock(Lock);
    m_filled = filled;
    WakeAllConditionVariable(&WorkOffered);
}

int DigestWorkers::ReadyFrom(int head, int filled) {
    int ready = 0;
    while (head + ready < filled && Slot(head + ready).state == SlotDone) {
        ++ready;
    }
    return ready;
}

void DigestWorkers::WakeJob() {
    if (m_waitedHead >= 0 && ReadyFrom(m_waitedHead, m_waitedFilled) >= m_wanted) {
        WakeJobNow();
    }
}

void DigestWorkers::WakeJobNow() {
    if (m_waitedHead >= 0) {
        m_jobWoken = true;
        // All: another instance's job may wait there too. With one instance it is the job alone.
        WakeAllConditionVariable(&SlotsMoved);
    }
}

// The job sleeps until half the window is done rather than each entry: under Wine a wake costs
// about as much as a small file, and the workers have the other half meanwhile.
int DigestWorkers::Done(int head, int filled, DWORD timeout) {
    ExclusiveLock lock(Lock);
    int ready = ReadyFrom(head, filled);
    const int wanted = filled - head < SlotCount / 2 ? filled - head : SlotCount / 2;
    if (ready < wanted && timeout > 0 && !HashStopRequested()) {
        m_waitedHead = head;
        m_waitedFilled = filled;
        m_wanted = wanted;
        m_jobWoken = false;
        const ULONGLONG start = GetTickCount64();
        ULONGLONG waited = 0;
        // A wake meant for another instance's job sends this one back to sleep for the time left.
        while (SleepConditionVariableSRW(&SlotsMoved, &Lock, static_cast<DWORD>(timeout - waited), 0) &&
               !m_jobWoken && !HashStopRequested() && (waited = GetTickCount64() - start) < timeout) {
        }
        m_waitedHead = -1;
        ready = ReadyFrom(head, filled);
    }
    return ready;
}

void DigestWorkers::TakeSize(int index, ULONGLONG size) {
    ExclusiveLock lock(Lock);
    SetSize(Slot(index), size);
    if (index == m_waitedHead && size > NamedFrom) {
        WakeJobNow();
    }
}

void DigestWorkers::WaitAsDisk() {
    ExclusiveLock disk(m_disk);
    Sleep(static_cast<DWORD>(SideDelay()));
}

bool DigestWorkers::Opened(int index) {
    ExclusiveLock lock(Lock);
    return Slot(index).state >= SlotOpened;
}

void DigestWorkers::End() {
    {
        ExclusiveLock lock(Lock);
        m_ending = true;
        WakeAllConditionVariable(&WorkOffered);
    }
    while (m_started > 0) {
        if (HashStopRequested()) {
            for (int k = 0; k < m_started; ++k) {
                CancelSynchronousIo(m_threads[k]);
            }
        }
        DWORD woke = WaitForMultipleObjects(static_cast<DWORD>(m_started), m_threads, TRUE, CancelInterval);
        if (woke != WAIT_TIMEOUT) {
            break;
        }
    }
}

void DigestWorkers::DigestSlot(int index, Digestors& digestors) {
    WorkSlot& slot = Slot(index);
    slot.outcome = FileStopped;
    IDigestor* digestor = digestors.Get(slot.kind);
    ScopedFile file(OpenToRead(slot.path));
    if (!file.IsValid()) {
        // An open broken by a cancel leaves the entry as it was.
        slot.outcome = HashStopRequested() ? FileStopped : FileOpenFailed;
        return;
    }
    // The last-write time only for a recorded list; the size at once only for a BLAKE3 file that
    // several lanes may share, otherwise as the file is read (CheckBlock). A call each a file. Not
    // through GetFileInformationByHandle: under Wine it also asks for the file's name, a server call
    // and several file system calls more per file.
    const bool lanes = slot.kind == DigestBLAKE3 && m_started > 1 && !slot.serial;
    LARGE_INTEGER size = {};
    FILETIME written = {};
    if (lanes) {
        GetFileSizeEx(file.Get(), &size);
    }
    if (slot.lastWrite == LastWriteRead) {
        GetFileTime(file.Get(), NULL, NULL, &written);
    }
    {
        ExclusiveLock lock(Lock);
        SetSize(slot, static_cast<ULONGLONG>(size.QuadPart));
        slot.written = (static_cast<ULONGLONG>(written.dwHighDateTime) << 32) | written.dwLowDateTime;
        slot.state = SlotOpened;
        if (index == m_waitedHead && slot.size > NamedFrom) {
            WakeJobNow();
        }
    }
    BlockWatch watch = {this, &slot, index, m_hook, file.Get(), lanes};
    // A cancel breaks a read that does not return: FileStopped below. A large BLAKE3 file, where no
    // disk that seeks forbids it, is read in several places at once, with a lane for each worker.
    FileOutcome outcome;
    if (lanes && slot.size >= Blake3ParallelFrom()) {
        outcome = DigestBlake3Parallel(slot.path, file.Get(), slot.size, m_started, CheckBlock, &watch,
                                       slot.digest);
    } else {
        outcome = DigestOpenFile(file.Get(), digestor, CheckBlock, &watch);
        if (outcome == FileDigested) {
            slot.digest = digestor->DigestText();
        }
    }
    if (!watch.sized) {
        SetSize(slot, static_cast<ULONGLONG>(slot.done)); // read in one piece
    }
    if (outcome == FileDigested) {
        if (slot.digest != slot.tries.expected && !slot.tries.others.empty()) {
            outcome = TryOthers(slot, file.Get(), &watch);
        }
    }
    if (outcome == FileReadFailed && HashStopRequested()) {
        outcome = FileStopped;
    }
    slot.outcome = outcome;
}

DWORD WINAPI DigestWorkers::Work(LPVOID self) {
    DigestWorkers& workers = *static_cast<DigestWorkers*>(self);
    Digestors digestors;
    ExclusiveLock lock(Lock);
    for (;;) {
        while (workers.m_taken < workers.m_filled && workers.Slot(workers.m_taken).state == SlotDone) {
            ++workers.m_taken; // an entry left alone
        }
        if (workers.m_ending || HashStopRequested()) {
            return 0;
        }
        const int index = workers.m_taken;
        WorkSlot& slot = workers.Slot(index);
        // Entries in list order: the next one waits while another file of a disk that seeks is read.
        if (index >= workers.m_filled || (slot.serial && workers.m_serialBusy > 0)) {
            if (index >= workers.m_filled) {
                workers.WakeJobNow(); // the job has entries to give
            }
            SleepConditionVariableSRW(&WorkOffered, &Lock, INFINITE, 0);
            continue;
        }
        ++workers.m_taken;
        slot.state = SlotTaken;
        workers.m_serialBusy += slot.serial ? 1 : 0;
        ReleaseSRWLockExclusive(&Lock);
        try {
            workers.DigestSlot(index, digestors);
        } catch (const std::bad_alloc&) {
            slot.outcome = FileStopped; // the run ends as far as it got
        }
        AcquireSRWLockExclusive(&Lock);
        slot.state = SlotDone;
        if (slot.serial) {
            --workers.m_serialBusy;
            WakeAllConditionVariable(&WorkOffered);
        }
        workers.WakeJob();
    }
}
