#include "console/file_run.h"

#include "console/console_output.h"
#include "console/stop_request.h"

namespace {

// How long the run waits for the earliest file before it shows its progress again.
const DWORD ProgressWait = 250;

} // namespace

FileRun::FileRun(FileFinished finished, void* context)
    : m_workers(new DigestWorkers()), m_texts(new std::string[SlotCount]), m_finished(finished),
      m_context(context), m_head(0), m_filled(0), m_broken(false), m_started(false), m_allAdded(false),
      m_files(0), m_filesDone(0), m_bytesDone(0), m_countWork(NULL), m_countContext(NULL) {}

FileRun::~FileRun() {
    if (m_started) {
        m_workers->End();
    }
}

bool FileRun::Start() {
    m_started = m_workers->Start(WorkerCount(), NULL);
    return m_started;
}

void FileRun::HandBack(DWORD timeout) {
    for (int ready = m_workers->Done(m_head, m_filled, timeout); ready > 0 && !m_broken; --ready, ++m_head) {
        const WorkSlot& slot = m_workers->Slot(m_head);
        if (!slot.leave && slot.outcome == FileStopped) {
            m_broken = true; // a stop, or a worker out of memory: nothing after it goes out
            return;
        }
        if (!slot.leave) {
            ++m_filesDone;
            m_bytesDone += FinishedBytes(slot);
        }
        m_finished(slot, m_texts[m_head % SlotCount], m_context);
        m_texts[m_head % SlotCount].clear();
    }
    if (RunProgressDue()) {
        ShowProgress();
    }
}

void FileRun::CountAlongside(SizeCount::Work work, void* context) {
    m_countWork = work;
    m_countContext = context;
}

// Files and bytes done of all: the run's own counts where it has them all, else the count beside it.
RunCounts FileRun::Counts() const {
    RunCounts counts = {m_filesDone, m_files, m_allAdded, m_bytesDone, 0, false};
    ULONGLONG sizes = 0;
    bool sized = true;
    for (int index = m_head; index < m_filled; ++index) {
        const WorkSlot& slot = m_workers->Slot(index);
        if (!slot.leave) {
            counts.bytesDone +=
                static_cast<ULONGLONG>(InterlockedCompareExchange64(const_cast<LONG64*>(&slot.done), 0, 0));
            sizes += KnownSize(slot);
            sized = sized && KnownSize(slot) > 0;
        }
    }
    if (m_allAdded && sized) {
        counts.bytesAll = m_bytesDone + sizes;
        counts.bytesKnown = true;
    } else if (m_count.Complete()) {
        counts.bytesAll = m_count.Bytes();
        counts.bytesKnown = true;
        if (!m_allAdded) {
            counts.filesAll = m_count.Files();
            counts.filesKnown = true;
        }
    }
    // A file that came since it was counted; more bytes than counted (a file that grew, a pipe)
    // leave the bytes in all unknown.
    counts.filesAll = counts.filesAll > m_files ? counts.filesAll : m_files;
    counts.bytesKnown = counts.bytesKnown && counts.bytesAll >= counts.bytesDone;
    return counts;
}

// The earliest file not yet done, once its worker has opened it. The count beside the run starts
// once the first line is out (which says "..." for all it does not know): a run that shows none
// needs none.
void FileRun::ShowProgress() {
    const bool opened = m_head < m_filled && !m_workers->Slot(m_head).leave && m_workers->Opened(m_head);
    ShowRunProgress(Counts(), opened ? m_workers->Slot(m_head).path : "");
    if (m_countWork && !m_allAdded && !m_count.Started()) {
        m_count.Start(m_countWork, m_countContext);
    }
}

bool FileRun::MakeRoom() {
    while (!m_broken && m_filled >= m_head + SlotCount && !StopRequested()) {
        HandBack(ProgressWait);
    }
    // Finished files go out as soon as they are ready, not only when the slots run out.
    if (!m_broken && !StopRequested()) {
        HandBack(0);
    }
    return !m_broken && !StopRequested();
}

bool FileRun::AddFile(const std::string& path, DigestKind kind, const std::string& text,
                      const KindTries& tries, LastWrite lastWrite) {
    if (!MakeRoom()) {
        return false;
    }
    FillSlot(m_workers->Slot(m_filled), path, kind, tries, lastWrite);
    m_texts[m_filled % SlotCount] = text;
    m_workers->Offer(++m_filled);
    ++m_files;
    return true;
}

bool FileRun::AddNote(const std::string& note) {
    if (!MakeRoom()) {
        return false;
    }
    WorkSlot& slot = m_workers->Slot(m_filled);
    slot.path[0] = '\0';
    slot.leave = true;
    slot.state = SlotDone;
    m_texts[m_filled % SlotCount] = note;
    m_workers->Offer(++m_filled);
    return true;
}

bool FileRun::Drain() {
    while (!m_broken && m_head < m_filled && !StopRequested()) {
        HandBack(ProgressWait);
    }
    return !m_broken && m_head == m_filled;
}

bool FileRun::Finish() {
    Drain();
    if (m_started) {
        m_workers->End();
        m_started = false;
    }
    return !m_broken && m_head == m_filled;
}
