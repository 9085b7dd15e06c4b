// The hash job's traffic with the file list, in batches. Under Wine every
// message from the worker to the window thread costs a few tenths of a
// millisecond, more than opening and digesting a small file, so the job reads
// the entries ahead and hands its new lines over several at a time. The window
// thread carries out each batch with the list's own operations, entry by entry
// and in order; a replacement is never split by a stop.
#pragma once

#include <windows.h>

#include "window/app_state.h"

// Each batch is one message each way: under Wine a few tenths of a millisecond
// the job waits, and the window thread is busy for a few milliseconds with it.
const int EntryBatchSize = 256;

// Entries first .. first + count - 1, read by MSG_READ_ENTRIES.
struct EntryBatch {
    int first;
    int count;
    bool read[EntryBatchSize]; // false: the entry could not be read
    char entries[EntryBatchSize][PathBufferSize];
};

// An index of a line batch that appends its line instead.
const int AppendedLine = -1;

// Replacements applied by MSG_REPLACE_ENTRIES: entry index[k] becomes lines[k]
// (is appended, for AppendedLine).
struct LineBatch {
    int count;
    int applied; // of them, applied so far by the window thread
    int index[EntryBatchSize];
    char lines[EntryBatchSize][PathBufferSize];
};

// Window thread, on MSG_READ_ENTRIES and MSG_REPLACE_ENTRIES.
void ReadEntryBatch(EntryBatch* batch);
// A line batch is applied after the lines applied before, at least one and for
// about ListWorkSlice (window/private_messages.h); the sender sends it again
// until it is all applied.
void ApplyLineBatch(LineBatch* batch);
// A job's: hands batch to the window thread (MSG_REPLACE_ENTRIES) until all of
// it is applied, or the window applies nothing more (the run's dialog is gone),
// and empties it.
void HandOverLineBatch(LineBatch& batch);
