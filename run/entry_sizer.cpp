#include "run/entry_sizer.h"

#include <new>

#include "base/hash_stop.h"
#include "window/app_state.h"
#include "window/private_messages.h"

EntrySizer::EntrySizer() : m_first(0), m_count(0), m_head(0), m_aheadFrom(-1), m_ahead(0) {}

EntrySizer::~EntrySizer() { m_sizing.End(); }

bool EntrySizer::Start(int first, int count) {
    if (Started() || first >= count) {
        return false;
    }
    m_batch.reset(new (std::nothrow) EntryBatch());
    m_sizes.reset(new (std::nothrow) volatile LONG64[static_cast<size_t>(count - first)]);
    if (!m_batch || !m_sizes) {
        return false;
    }
    for (int k = 0; k < count - first; ++k) {
        m_sizes[k] = -1;
    }
    m_first = first;
    m_count = count;
    m_head = first;
    return m_sizing.Start(Work, this);
}

void EntrySizer::Done(int head) { InterlockedExchange(&m_head, head); }

bool EntrySizer::SizeOf(int index, ULONGLONG& size) const {
    if (!Started() || index < m_first || index >= m_count) {
        return false;
    }
    const LONG64 found = InterlockedCompareExchange64(&m_sizes[index - m_first], 0, 0);
    size = static_cast<ULONGLONG>(found);
    return found >= 0;
}

bool EntrySizer::BytesFrom(int filled, ULONGLONG& bytes) {
    if (!Started() || !m_sizing.Complete()) {
        return false;
    }
    // Every entry the sizer passed over was done before it got there, so below filled: the rest are sized.
    if (m_aheadFrom < 0) {
        m_aheadFrom = filled > m_first ? filled : m_first;
        for (int index = m_aheadFrom; index < m_count; ++index) {
            m_ahead += static_cast<ULONGLONG>(m_sizes[index - m_first]);
        }
    }
    for (; m_aheadFrom < filled && m_aheadFrom < m_count; ++m_aheadFrom) {
        m_ahead -= static_cast<ULONGLONG>(m_sizes[m_aheadFrom - m_first]);
    }
    bytes = m_ahead;
    return true;
}

// Reads the entries a batch at a time, as the job does, from the earliest one not done.
void EntrySizer::Work(SizeCount& sizing, void* self) {
    EntrySizer& sizer = *static_cast<EntrySizer*>(self);
    EntryBatch& batch = *sizer.m_batch;
    for (int index = sizer.m_first; index < sizer.m_count && sizing.Going();) {
        const int head = static_cast<int>(InterlockedCompareExchange(&sizer.m_head, 0, 0));
        if (index < head) {
            index = head; // done already: the job has its size
            continue;
        }
        if (HashStopRequested()) {
            return;
        }
        batch.first = index;
        batch.count = sizer.m_count - index < EntryBatchSize ? sizer.m_count - index : EntryBatchSize;
        for (int k = 0; k < batch.count; ++k) {
            batch.read[k] = false;
        }
        SendMessageA(MainWindow, MSG_READ_ENTRIES, 0, reinterpret_cast<LPARAM>(&batch));
        for (int k = 0; k < batch.count && sizing.Going(); ++k) {
            const ULONGLONG size = batch.read[k] ? SizeByAttributes(batch.entries[k]) : 0;
            InterlockedExchange64(&sizer.m_sizes[index + k - sizer.m_first], static_cast<LONG64>(size));
            sizing.Add(size);
        }
        index += batch.count;
    }
}
