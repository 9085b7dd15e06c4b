// The console's run over files: the files handed in go to the digest workers
// the window's run uses, and come back finished in the order they went in,
// with the progress line (files and bytes done of all, the earliest file not
// yet done) while they are read.
#pragma once

#include <memory>
#include <string>

#include "base/digest_workers.h"
#include "base/run_progress.h"
#include "base/size_count.h"

// Called for each file in the order it was added, with its text as added:
// slot holds its outcome, digest, size and (when asked for) last-write time. A note comes
// back in its place as text, with slot.leave set.
typedef void (*FileFinished)(const WorkSlot& slot, const std::string& text, void* context);

class FileRun {
public:
    FileRun(FileFinished finished, void* context);
    ~FileRun(); // after Finish, or at once: the workers end either way
    FileRun(const FileRun&) = delete;
    FileRun& operator=(const FileRun&) = delete;

    // Starts the workers (DIGESTOR_WORKERS, or one per processor); false when
    // not one could start.
    bool Start();
    // A file to digest with kind, which comes back with text (its path when
    // not given); a path too long for a slot comes back as a file that could
    // not be opened; its last-write time is read only as lastWrite says. False
    // once a stop or a shortage of memory has cut the run short.
    bool AddFile(const std::string& path, DigestKind kind, LastWrite lastWrite) {
        return AddFile(path, kind, path, KindTries(), lastWrite);
    }
    bool AddFile(const std::string& path, DigestKind kind, const std::string& text,
                 const KindTries& tries = KindTries(), LastWrite lastWrite = LastWriteSkipped);
    // A line that comes back among the files, after those added before it.
    bool AddNote(const std::string& note);
    // The files added so far are all the run gets: the files in all are known, and the bytes in
    // all once the workers know the size of each file under way.
    void AllAdded() { m_allAdded = true; }
    // A count of the files and bytes the run gets in all, made beside it by work on a thread of its
    // own once the progress line shows; it tells the progress line what the run cannot know yet.
    void CountAlongside(SizeCount::Work work, void* context);
    // Waits until every file added so far has come back, the workers still
    // there for more; false when the run was cut short.
    bool Drain();
    // Waits for every file and ends the workers; false when the run was cut
    // short (StopRequested tells whether by a stop).
    bool Finish();

private:
    bool MakeRoom();
    void HandBack(DWORD timeout);
    RunCounts Counts() const;
    void ShowProgress();

    std::unique_ptr<DigestWorkers> m_workers;
    std::unique_ptr<std::string[]> m_texts; // by slot: a file's path, or a note
    FileFinished m_finished;
    void* m_context;
    int m_head;   // the next entry to hand back
    int m_filled; // the entries added
    bool m_broken;
    bool m_started;
    bool m_allAdded;
    uint64_t m_files;     // added, notes aside
    uint64_t m_filesDone; // handed back
    uint64_t m_bytesDone; // of the files handed back
    SizeCount::Work m_countWork;
    void* m_countContext;
    SizeCount m_count; // last: ended before the rest goes
};
