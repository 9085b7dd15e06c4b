// The digest workers of a run, the window's and the console's alike: up to
// one per processor, each with its own digestors and read buffer. The caller
// (the job) fills a window of slots with the entries ahead, in list order;
// the workers take them in that order, each file from start to end by one
// worker; the job empties the slots in list order again.
#pragma once

#include <windows.h>

#include <string>

#include "base/digest_file.h"
#include "base/hash_stop.h"
#include "base/kind_choice.h"
#include "base/path_buffer.h"
#include "engine/digestor.h"

const int MostWorkers = 8;
// Entries read ahead of the earliest one not yet replaced: memory stays bounded
// whatever the list's length.
const int SlotCount = 64;

enum SlotState { SlotWaiting, SlotTaken, SlotOpened, SlotDone };

// Whether a worker asks for a file's last-write time: a call more a file, wanted only by a recorded
// list, which keeps it (a recording, an update's files) or tells decay from an edit by it.
enum LastWrite { LastWriteSkipped, LastWriteRead };

// One entry ahead. The job writes path, kind, tries, serial, leave and lastWrite before it
// offers the slot and reads the rest once the slot is done; done may be read at
// any time. kind is then the kind of digest: one of tries.others where it matched.
struct WorkSlot {
    char path[PathBufferSize];
    DigestKind kind;
    KindTries tries; // a check's first entry of a length that other kinds share
    bool serial;     // on a disk that seeks: no other such file is read meanwhile
    bool leave;      // not digested: the entry keeps its text
    LastWrite lastWrite;
    SlotState state;
    ULONGLONG size;       // of the opened file, as far as known: read it with KnownSize
    ULONGLONG written;    // its last-write time (a FILETIME's value); 0 unless asked for
    volatile LONG64 done; // bytes digested so far
    FileOutcome outcome;  // FileStopped also when memory ran out
    std::string digest;
};

// Writes slot for a file before the job offers it: its path, kind, tries and lastWrite, serial by the
// seek-penalty rule, the rest cleared. A path too long for the slot makes it done at once, as a file
// that could not be opened.
void FillSlot(WorkSlot& slot, const std::string& path, DigestKind kind, const KindTries& tries,
              LastWrite lastWrite);

// The size of slot's file, from any thread. The worker asks it when the file opens only for a
// BLAKE3 file that several lanes may share, otherwise once the file outlasts its first read; a
// smaller file's size is what was read, known when it is done. 0 until known.
ULONGLONG KnownSize(const WorkSlot& slot);

// The bytes a finished slot's file counts for in a run's readouts: its size, or what was read where
// that is more (a file that grew meanwhile, a pipe, whose size is 0).
ULONGLONG FinishedBytes(const WorkSlot& slot);

// The number of workers a run gets: DIGESTOR_WORKERS (1..8) when set, otherwise
// one per processor, at most MostWorkers.
int WorkerCount();

// Benchmarks only: DIGESTOR_SIDE_DELAY (milliseconds a MiB) makes each DigestWorkers read as a
// disk of its own would, one MiB at a time whatever its workers, so that two of them at once
// stand for two devices. 0, the default, waits for nothing. Read once.
int SideDelay();

class Digestors; // a worker's own

class DigestWorkers {
public:
    DigestWorkers();
    ~DigestWorkers(); // after End
    DigestWorkers(const DigestWorkers&) = delete;
    DigestWorkers& operator=(const DigestWorkers&) = delete;

    // Starts up to wanted workers; false when not one could start.
    bool Start(int wanted, HashBlockHook hook);
    WorkSlot& Slot(int index) { return m_slots[index % SlotCount]; }
    // The slots of the entries below filled are written and may be taken.
    void Offer(int filled);
    // How many slots from head on, below filled, are done; unless a stop is
    // requested, waits up to timeout until half the window (or all below filled)
    // is done, or the workers run out of entries.
    int Done(int head, int filled, DWORD timeout);
    // Whether the worker of entry index has opened its file.
    bool Opened(int index);
    // A worker's: the size of entry index's file, found once the file outlasts its first read.
    void TakeSize(int index, ULONGLONG size);
    // A worker's, with SideDelay set: waits as a disk of this instance's reads would for one MiB.
    void WaitAsDisk();
    // No further entry is taken. After a stop request the workers' pending
    // I/O is cancelled, again and again, until every one has ended.
    void End();

private:
    static DWORD WINAPI Work(LPVOID self);
    void DigestSlot(int index, Digestors& digestors);
    int ReadyFrom(int head, int filled); // under the lock
    void WakeJob();                      // under the lock: the job, if it waits and has what it waits for
    void WakeJobNow();                   // under the lock: the job, if it waits

    WorkSlot m_slots[SlotCount];
    HANDLE m_threads[MostWorkers];
    int m_started;
    HashBlockHook m_hook;
    int m_filled;       // under the lock, as the rest below
    int m_taken;        // the next entry a worker takes
    int m_serialBusy;   // workers reading a file of a disk that seeks
    int m_waitedHead;   // the entry the job sleeps on in Done, -1 while it does not
    int m_waitedFilled; // the end of the entries it waits among
    int m_wanted;       // the done entries from m_waitedHead on that wake it
    bool m_jobWoken;    // something the job waits for came: it leaves Done
    bool m_ending;
    SRWLOCK m_disk; // held while a read waits as a disk would (SideDelay)
};

// Any thread: wakes every waiting worker and job to look at the stop request.
void WakeDigestWorkers();
