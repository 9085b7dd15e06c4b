// The sizes of the list's entries that a run has not done yet, found on a
// thread of its own (SizeCount), so that the readouts know the bytes in all
// long before the run gets there. The job replaces the entries it has done by
// their lines, in list order, and has their sizes from its workers: the sizer
// passes over the entries done when it gets there, and what it makes of one
// done while it read it (a line is no file: 0) is never asked for.
#pragma once

#include <windows.h>

#include <memory>

#include "base/size_count.h"
#include "run/entry_batches.h"

class EntrySizer {
public:
    EntrySizer();
    ~EntrySizer(); // ends the sizing
    EntrySizer(const EntrySizer&) = delete;
    EntrySizer& operator=(const EntrySizer&) = delete;

    // Job's: sizes entries first .. count - 1 (first being the earliest entry not done); false
    // when there is no memory or thread for it. Once only.
    bool Start(int first, int count);
    bool Started() const { return m_sizing.Started(); }
    // Job's, as it goes: the entries below head are done, and their lines may replace them.
    void Done(int head);
    // Job's: the size of entry index as the sizer found it; false while it has not.
    bool SizeOf(int index, ULONGLONG& size) const;
    // Job's: the bytes of the entries from filled on (filled never less than the last call's);
    // false until every one of them is sized.
    bool BytesFrom(int filled, ULONGLONG& bytes);

private:
    static void Work(SizeCount& sizing, void* self);

    std::unique_ptr<EntryBatch> m_batch;
    std::unique_ptr<volatile LONG64[]> m_sizes; // by entry from m_first; -1 until sized
    int m_first;
    int m_count;
    volatile LONG m_head;
    int m_aheadFrom; // BytesFrom's: m_ahead holds the sizes from here on, -1 before its first sum
    ULONGLONG m_ahead;
    SizeCount m_sizing; // last: ended first
};
