#include "base/digest_set.h"

#include <algorithm>
#include <memory>

#include "base/digest_workers.h"
#include "base/scoped_lock.h"
#include "engine/cpu_features.h"

namespace {

// Each of the DigestSet::Ahead read buffers: the caller reads into one while the lanes digest others.
const DWORD ReadSize = 1024 * 1024;
// How long the caller waits for the lanes before it asks its check again, in milliseconds.
const DWORD StopLook = 2;
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
    case DigestSHA3_256:
        return 2600; // Keccak-f[1600] over 136-byte blocks
    case DigestSHA3_512:
        return 4900; // over 72-byte blocks
    case DigestBLAKE3:
        return 400; // several chunks side by side in vector registers
    case DigestXXH3:
    case DigestXXH128:
        return 100;
    default:
        return 1280; // MD5, as the factory makes for any other value
    }
}

} // namespace

DigestSet::DigestSet(const std::vector<DigestKind>& kinds, int lanes)
    : m_pieceSize(ReadSize), m_pieces(), m_handedCount(0), m_abandon(0), m_ending(false) {
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
        m_done.assign(static_cast<size_t>(wanted), 0);
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

// Between calls the lanes are idle, so Reset, Finish and DigestText touch the digestors from the caller's
// thread; the lock taken when the lanes are awaited makes their writes visible to it.
void DigestSet::Hand(const uint8_t* bytes, uint32_t length) {
    ExclusiveLock lock(m_lock);
    m_pieces[m_handedCount % Ahead].bytes = bytes;
    m_pieces[m_handedCount % Ahead].length = length;
    ++m_handedCount;
    WakeAllConditionVariable(&m_handed);
}

void DigestSet::DigestShare(int lane, const uint8_t* bytes, uint32_t length) {
    for (size_t i = 0; i < m_digestors.size(); ++i) {
        if (m_laneOf[i] == lane) {
            m_digestors[i]->Update(bytes, length);
        }
    }
}

uint64_t DigestSet::LanesDone() {
    uint64_t done = m_handedCount;
    for (size_t lane = 1; lane <= m_threads.size(); ++lane) {
        done = std::min(done, m_done[lane]);
    }
    return done;
}

void DigestSet::AwaitLanes() {
    ExclusiveLock lock(m_lock);
    while (LanesDone() < m_handedCount) {
        SleepConditionVariableSRW(&m_finished, &m_lock, INFINITE, 0);
    }
}

void DigestSet::Abandon() {
    InterlockedExchange(&m_abandon, 1);
    AwaitLanes();
    InterlockedExchange(&m_abandon, 0);
}

void DigestSet::EndLanes() {
    if (m_threads.empty()) {
        return;
    }
    {
        ExclusiveLock lock(m_lock);
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

// A lane digests its share of each piece in turn, in steps of m_pieceSize between which it looks for
// Abandon; a piece abandoned counts as done, and so does every piece handed before it.
DWORD WINAPI DigestSet::LaneWork(LPVOID start) {
    const int lane = static_cast<const LaneStart*>(start)->lane;
    DigestSet& set = *static_cast<const LaneStart*>(start)->set;
    uint64_t& done = set.m_done[static_cast<size_t>(lane)];
    ExclusiveLock lock(set.m_lock);
    while (!set.m_ending) {
        if (done == set.m_handedCount) {
            SleepConditionVariableSRW(&set.m_handed, &set.m_lock, INFINITE, 0);
            continue;
        }
        const Piece piece = set.m_pieces[done % Ahead];
        ReleaseSRWLockExclusive(&set.m_lock);
        for (uint32_t at = 0; at < piece.length && !set.m_abandon;) {
            const uint32_t step = std::min(set.m_pieceSize, piece.length - at);
            set.DigestShare(lane, piece.bytes + at, step);
            at += step;
        }
        AcquireSRWLockExclusive(&set.m_lock);
        done = set.m_abandon ? set.m_handedCount : done + 1;
        WakeConditionVariable(&set.m_finished); // the caller alone waits there
    }
    return 0;
}

// The caller's thread reads into the Ahead buffers as the lanes free them, digests its own share of the
// pieces between reads, and asks check once for every piece all the lanes have digested (and whenever it
// has nothing else to do, so that a stop is seen while the lanes work).
FileOutcome DigestSet::ReadAndDigest(HANDLE file, uint8_t* buffers, BlockCheck check, void* context) {
    uint64_t read = m_handedCount; // the lanes are idle: nobody else writes it now
    uint64_t own = read;           // the caller's share digested, whole pieces
    uint32_t ownAt = 0;            // and bytes into the next one
    uint64_t reported = read;
    ULONGLONG done = 0;
    bool end = false;
    for (;;) {
        uint64_t finished;
        {
            ExclusiveLock lock(m_lock);
            finished = std::min(own, LanesDone());
        }
        bool asked = false;
        while (reported < finished) {
            done += m_pieces[reported++ % Ahead].length;
            asked = true;
            if (!check(done, context)) {
                Abandon();
                return FileStopped;
            }
        }
        if (!asked && !check(done, context)) {
            Abandon();
            return FileStopped;
        }
        if (end && finished == read) {
            break;
        }
        if (!end && read - finished < Ahead) {
            uint8_t* into = buffers + (read % Ahead) * ReadSize;
            DWORD length = 0;
            if (!ReadFile(file, into, ReadSize, &length, NULL)) {
                Abandon();
                return FileReadFailed;
            }
            end = length == 0;
            if (!end) {
                Hand(into, length);
                ++read;
            }
        } else if (own < read) {
            const Piece& piece = m_pieces[own % Ahead];
            const uint32_t step = std::min(m_pieceSize, piece.length - ownAt);
            DigestShare(0, piece.bytes + ownAt, step);
            ownAt += step;
            if (ownAt == piece.length) {
                ++own;
                ownAt = 0;
            }
        } else {
            ExclusiveLock lock(m_lock);
            if (LanesDone() < read) {
                SleepConditionVariableSRW(&m_finished, &m_lock, StopLook, 0);
            }
        }
    }
    Finish();
    return FileDigested;
}

FileOutcome DigestOpenFileSet(HANDLE file, DigestSet& set, BlockCheck check, void* context) {
    set.Reset();
    std::unique_ptr<uint8_t[]> buffers(new uint8_t[DigestSet::Ahead * static_cast<size_t>(ReadSize)]);
    try {
        return set.ReadAndDigest(file, buffers.get(), check, context);
    } catch (...) {
        set.Abandon(); // a check that throws: no lane may read the buffers once they are freed
        throw;
    }
}
