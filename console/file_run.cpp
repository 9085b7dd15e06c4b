#include "console/file_run.h"

#include "console/console_output.h"
#include "console/stop_request.h"

namespace {

// How long the run waits for the earliest file before it shows its progress again.
const DWORD ProgressWait = 250;

} // namespace

FileRun::FileRun(FileFinished finished, void* context)
    : m_workers(new DigestWorkers()), m_texts(new std::string[SlotCount]), m_finished(finished),
      m_context(context), m_head(0), m_filled(0), m_broken(false), m_started(false) {}

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
        m_finished(slot, m_texts[m_head % SlotCount], m_context);
        m_texts[m_head % SlotCount].clear();
    }
    if (m_head < m_filled && !m_workers->Slot(m_head).leave && m_workers->Opened(m_head)) {
        const WorkSlot& slot = m_workers->Slot(m_head);
        ShowProgress(slot.path, static_cast<ULONGLONG>(slot.done), KnownSize(slot));
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
