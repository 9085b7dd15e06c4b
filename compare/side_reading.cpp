#include "compare/side_reading.h"

#include <new>

#include "base/scoped_lock.h"

namespace {

// How long the feeder waits for finished files before it looks at the file being read again.
const DWORD FeedWait = 250;

} // namespace

SideReader::SideReader(const std::vector<SideRead>& files, DigestKind kind, LastWrite lastWrite,
                       HANDLE advanced)
    : m_files(files), m_kind(kind), m_lastWrite(lastWrite), m_advanced(advanced), m_thread(NULL),
      m_workers(new DigestWorkers()), m_results(files.size()), m_finished(0), m_ended(0), m_readingDone(0) {
    InitializeSRWLock(&m_lock);
}

SideReader::~SideReader() {
    if (m_thread) {
        WaitForSingleObject(m_thread, INFINITE);
        CloseHandle(m_thread);
    }
}

bool SideReader::Start() {
    if (m_files.empty()) {
        InterlockedExchange(&m_ended, 1);
        return true;
    }
    // The tests' block hook, as the window's run passes it: they hold a comparison where they hold a run.
    if (!m_workers->Start(WorkerCount(), CurrentHashBlockHook())) {
        return false;
    }
    m_thread = CreateThread(NULL, 0, Feed, this, 0, NULL);
    if (!m_thread) {
        m_workers->End();
    }
    return m_thread != NULL;
}

size_t SideReader::Finished() const {
    return static_cast<size_t>(InterlockedCompareExchange64(const_cast<volatile LONG64*>(&m_finished), 0, 0));
}

bool SideReader::Ended() const {
    return InterlockedCompareExchange(const_cast<volatile LONG*>(&m_ended), 0, 0) != 0;
}

unsigned long long SideReader::Reading(std::string& path) const {
    SharedLock lock(m_lock);
    path = m_reading;
    return m_readingDone;
}

void SideReader::Publish(size_t finished, const std::string& reading, unsigned long long done) {
    {
        ExclusiveLock lock(m_lock);
        m_reading = reading;
        m_readingDone = done;
    }
    if (finished != Finished()) {
        InterlockedExchange64(&m_finished, static_cast<LONG64>(finished));
        SetEvent(m_advanced);
    }
}

DWORD WINAPI SideReader::Feed(LPVOID self) {
    SideReader& reader = *static_cast<SideReader*>(self);
    try {
        reader.FeedAll();
    } catch (const std::bad_alloc&) {
        // The reader ends short of its files, which the comparison takes for a stop.
    }
    reader.m_workers->End();
    InterlockedExchange(&reader.m_ended, 1);
    SetEvent(reader.m_advanced);
    return 0;
}

// Keeps the workers' window full and takes the finished files out of it in order, as the console's
// run does, until every file is finished or a stop (or a worker out of memory) cuts it short.
void SideReader::FeedAll() {
    const int count = static_cast<int>(m_files.size());
    int head = 0;
    int filled = 0;
    while (head < count && !HashStopRequested()) {
        const int offered = filled;
        for (; filled < count && filled < head + SlotCount; ++filled) {
            FillSlot(m_workers->Slot(filled), m_files[static_cast<size_t>(filled)].path, m_kind, KindTries(),
                     m_lastWrite);
        }
        if (filled > offered) {
            m_workers->Offer(filled);
        }
        for (int ready = m_workers->Done(head, filled, FeedWait); ready > 0; --ready, ++head) {
            WorkSlot& slot = m_workers->Slot(head);
            if (slot.outcome == FileStopped) {
                return;
            }
            SideResult& result = m_results[static_cast<size_t>(head)];
            result.outcome = slot.outcome;
            result.read = static_cast<unsigned long long>(slot.done);
            result.written = slot.written;
            result.digest.swap(slot.digest);
        }
        const bool reading = head < filled && m_workers->Opened(head);
        Publish(static_cast<size_t>(head), reading ? m_files[static_cast<size_t>(head)].path : std::string(),
                reading ? static_cast<unsigned long long>(m_workers->Slot(head).done) : 0);
    }
}
