#include "base/digest_set.h"

#include <algorithm>
#include <memory>

#include "base/digest_workers.h"
#include "engine/cpu_features.h"

namespace {

// Each of the two read buffers; one is read into while the lanes digest the other.
const DWORD ReadSize = 1024 * 1024;
// A piece is at most what the busiest lane digests in about this many picoseconds (2 ms), so that a
// stop waits no longer than that for the lanes. Pieces are whole pages, at least one.
const uint64_t PieceBudget = 2000000000;
const uint32_t PageSize = 4096;

// What a digestor costs per byte, in picoseconds, as measured on an x86-64 processor of 2020 with the
// SHA extensions (MD5 is 1.3 ns a byte there). Only the ratios matter: they share the kinds out over the
// lanes and size the pieces.
uint64_t CostPerByte(DigestKind kind, bool shaExtensions) {
    switch (kind) {
    case DigestMD2:
        return 92000; // a table lookup per byte, eighteen rounds
    case DigestMD4:
        return 750;
    case DigestCRC32:
    case DigestZipCRC32:
        return 300;
    case DigestSHA1:
        return shaExtensions ? 530 : 2500;
    case DigestSHA256:
        return shaExtensions ? 560 : 3900;
    case DigestSHA512:
        return 2250;
    default:
        return 1280; // MD5, as the factory makes for any other value
    }
}

class ScopedExclusive {
public:
    explicit ScopedExclusive(SRWLOCK& lock) : m_lock(lock) { AcquireSRWLockExclusive(&m_lock); }
    ~ScopedExclusive() { ReleaseSRWLockExclusive(&m_lock); }
    ScopedExclusive(const ScopedExclusive&) = delete;
    ScopedExclusive& operator=(const ScopedExclusive&) = delete;

private:
    SRWLOCK& m_lock;
};

} // namespace

DigestSet::DigestSet(const std::vector<DigestKind>& kinds, int lanes)
    : m_pieceSize(ReadSize), m_round(0), m_bytes(NULL), m_length(0), m_busy(0), m_ending(false) {
    InitializeSRWLock(&m_lock);
    InitializeConditionVariable(&m_handed);
    InitializeConditionVariable(&m_finished);
    try {
        m_kinds = kinds;
        m_digestors.reserve(kinds.size());
        for (DigestKind kind : kinds) {
            m_digestors.push_back(CreateDigestor(kind));
        }
        m_laneOf.assign(kinds.size(), 0);
        // DIGESTOR_WORKERS, when set, stands for the processors here as it does for a run's workers.
        int wanted = lanes > 0 ? lanes : WorkerCount();
        wanted = std::min(wanted, std::max(1, static_cast<int>(kinds.size())));
        m_starts.resize(static_cast<size_t>(wanted - 1));
        m_threads.reserve(m_starts.size());
        for (size_t k = 0; k < m_starts.size(); ++k) {
            m_starts[k].set = this;
            m_starts[k].lane = static_cast<int>(k + 1);
            HANDLE thread = CreateThread(NULL, 0, LaneWork, &m_starts[k], 0, NULL);
            if (!thread) {
                break; // the lanes that did start take this one's kinds
            }
            m_threads.push_back(thread);
        }
        ShareOut();
    } catch (...) {
        EndLanes();
        for (IDigestor* digestor : m_digestors) {
            digestor->Release();
        }
        throw;
    }
}

DigestSet::~DigestSet() {
    EndLanes();
    for (IDigestor* digestor : m_digestors) {
        digestor->Release();
    }
}

size_t DigestSet::Count() const { return m_kinds.size(); }

DigestKind DigestSet::Kind(size_t index) const { return m_kinds[index]; }

int DigestSet::Lanes() const { return static_cast<int>(m_threads.size()) + 1; }

uint32_t DigestSet::PieceSize() const { return m_pieceSize; }

// Heaviest kind first, each onto the lane with the least work so far; a tie goes to the later lane, as
// the caller's own thread, lane 0, also reads the file. The pieces follow from the busiest lane.
void DigestSet::ShareOut() {
    const bool shaExtensions = UseShaExtensions();
    std::vector<size_t> order(m_kinds.size());
    for (size_t i = 0; i < order.size(); ++i) {
        order[i] = i;
    }
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        return CostPerByte(m_kinds[a], shaExtensions) > CostPerByte(m_kinds[b], shaExtensions);
    });
    std::vector<uint64_t> load(static_cast<size_t>(Lanes()), 0);
    for (size_t i : order) {
        size_t lightest = load.size() - 1;
        for (size_t lane = load.size() - 1; lane-- > 0;) {
            if (load[lane] < load[lightest]) {
                lightest = lane;
            }
        }
        load[lightest] += CostPerByte(m_kinds[i], shaExtensions);
        m_laneOf[i] = static_cast<int>(lightest);
    }
    const uint64_t busiest = *std::max_element(load.begin(), load.end());
    if (busiest > 0 && PieceBudget / busiest < ReadSize) {
        m_pieceSize = std::max(PageSize, static_cast<uint32_t>(PieceBudget / busiest) / PageSize * PageSize);
    }
}

void DigestSet::Reset() {
    for (IDigestor* digestor : m_digestors) {
        digestor->Reset();
    }
}

void DigestSet::Update(const uint8_t* bytes, uint32_t length) {
    if (length == 0) {
        return;
    }
    Hand(bytes, length);
    DigestShare(0, bytes, length);
    AwaitLanes();
}

void DigestSet::Finish() {
    for (IDigestor* digestor : m_digestors) {
        digestor->Finish();
    }
}

std::string DigestSet::DigestText(size_t index) const { return m_digestors[index]->DigestText(); }

// The lanes are idle between rounds, so Reset, Finish and DigestText touch the digestors from the
// caller's thread; the lock that ends each round makes the lanes' writes visible to it.
void DigestSet::Hand(const uint8_t* bytes, uint32_t length) {
    if (m_threads.empty()) {
        return;
    }
    ScopedExclusive lock(m_lock);
    ++m_round;
    m_bytes = bytes;
    m_length = length;
    m_busy = static_cast<int>(m_threads.size());
    WakeAllConditionVariable(&m_handed);
}

void DigestSet::DigestShare(int lane, const uint8_t* bytes, uint32_t length) {
    for (size_t i = 0; i < m_digestors.size(); ++i) {
        if (m_laneOf[i] == lane) {
            m_digestors[i]->Update(bytes, length);
        }
    }
}

void DigestSet::AwaitLanes() {
    if (m_threads.empty()) {
        return;
    }
    ScopedExclusive lock(m_lock);
    while (m_busy > 0) {
        SleepConditionVariableSRW(&m_finished, &m_lock, INFINITE, 0);
    }
}

void DigestSet::EndLanes() {
    if (m_threads.empty()) {
        return;
    }
    {
        ScopedExclusive lock(m_lock);
        m_ending = true;
        WakeAllConditionVariable(&m_handed);
    }
    // One by one: WaitForMultipleObjects takes no more than 64.
    for (HANDLE thread : m_threads) {
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
    }
    m_threads.clear();
}

// A lane waits for a round it has not digested yet, digests its share and counts itself done. No round
// is handed before the last one is done, so none is missed; none is pending when the set ends.
DWORD WINAPI DigestSet::LaneWork(LPVOID start) {
    const LaneStart& lane = *static_cast<const LaneStart*>(start);
    DigestSet& set = *lane.set;
    unsigned seen = 0;
    ScopedExclusive lock(set.m_lock);
    while (!set.m_ending) {
        if (set.m_round == seen) {
            SleepConditionVariableSRW(&set.m_handed, &set.m_lock, INFINITE, 0);
            continue;
        }
        seen = set.m_round;
        const uint8_t* bytes = set.m_bytes;
        const uint32_t length = set.m_length;
        ReleaseSRWLockExclusive(&set.m_lock);
        set.DigestShare(lane.lane, bytes, length);
        AcquireSRWLockExclusive(&set.m_lock);
        if (--set.m_busy == 0) {
            WakeConditionVariable(&set.m_finished);
        }
    }
    return 0;
}

// The caller's thread reads the next buffer while the other lanes digest the first piece of this one,
// then digests its own share. Every round is awaited before the function returns, whichever way it
// returns, so the buffers outlive the lanes' use of them.
FileOutcome DigestOpenFileSet(HANDLE file, DigestSet& set, BlockCheck check, void* context) {
    set.Reset();
    std::unique_ptr<uint8_t[]> buffers(new uint8_t[2 * static_cast<size_t>(ReadSize)]);
    uint8_t* digesting = buffers.get();
    uint8_t* reading = digesting + ReadSize;
    ULONGLONG done = 0;
    if (!check(done, context)) {
        return FileStopped;
    }
    DWORD length = 0;
    if (!ReadFile(file, digesting, ReadSize, &length, NULL)) {
        return FileReadFailed;
    }
    while (length > 0) {
        DWORD nextLength = 0;
        bool readAhead = false;
        bool readFailed = false;
        for (DWORD offset = 0; offset < length;) {
            if (!check(done, context)) {
                return FileStopped;
            }
            const DWORD piece = std::min<DWORD>(set.m_pieceSize, length - offset);
            set.Hand(digesting + offset, piece);
            if (!readAhead) {
                readAhead = true;
                readFailed = !ReadFile(file, reading, ReadSize, &nextLength, NULL);
            }
            set.DigestShare(0, digesting + offset, piece);
            set.AwaitLanes();
            if (readFailed) {
                return FileReadFailed;
            }
            offset += piece;
            done += piece;
        }
        std::swap(digesting, reading);
        length = nextLength;
    }
    if (!check(done, context)) {
        return FileStopped;
    }
    set.Finish();
    return FileDigested;
}
