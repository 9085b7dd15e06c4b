// The files of one side read and digested in the order given, by digest
// workers of the side's own on a thread of its own, so that each side keeps
// the seek-penalty rule for itself and two disks are read at once.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "base/digest_workers.h"

struct SideRead {
    std::string path; // in full
};

struct SideResult {
    FileOutcome outcome;
    unsigned long long read;    // bytes digested: a file that changed while read tells by these
    unsigned long long written; // its last-write time, when asked for
    std::string digest;
};

class SideReader {
public:
    // files and kind stay as given while the reader lives; advanced is set whenever files are finished
    // and when the reader ends.
    SideReader(const std::vector<SideRead>& files, DigestKind kind, LastWrite lastWrite, HANDLE advanced);
    ~SideReader(); // waits for the thread
    SideReader(const SideReader&) = delete;
    SideReader& operator=(const SideReader&) = delete;

    // Starts the thread that feeds the workers; false when it or not one worker could start.
    bool Start();
    // Files finished from the first on, in order: their results may be read. Any thread.
    size_t Finished() const;
    const SideResult& Result(size_t index) const { return m_results[index]; }
    // Whether the reader has ended: every file finished, or a stop or a lack of memory cut it short.
    bool Ended() const;
    // The bytes of the file being read that are done so far, and its path (empty when none). Any thread.
    unsigned long long Reading(std::string& path) const;

private:
    static DWORD WINAPI Feed(LPVOID self);
    void FeedAll();
    void Publish(size_t finished, const std::string& reading, unsigned long long done);

    const std::vector<SideRead>& m_files;
    DigestKind m_kind;
    LastWrite m_lastWrite;
    HANDLE m_advanced;
    HANDLE m_thread;
    std::unique_ptr<DigestWorkers> m_workers;
    std::vector<SideResult> m_results;
    volatile LONG64 m_finished;
    volatile LONG m_ended;
    mutable SRWLOCK m_lock; // over the two below
    std::string m_reading;
    unsigned long long m_readingDone;
};
