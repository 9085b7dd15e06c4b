#include "shell/page_context.h"

PageContext::PageContext(const std::vector<std::wstring>& paths, const std::vector<DigestKind>& kindsWanted,
                         HWND page, WPARAM generationNumber)
    : kinds(kindsWanted), generation(generationNumber), rowsKnown(false), foldersLeftOut(0), totalBytes(0),
      doneBytes(0), reading(), filesDone(0), finished(false), stop(0), stopSeen(0), heldModule(NULL),
      m_refCount(1), m_newsPosted(0), m_page(page) {
    InitializeSRWLock(&lock);
    files.resize(paths.size());
    for (size_t i = 0; i < paths.size(); ++i) {
        files[i].path = paths[i];
        files[i].state = FileWaiting;
        files[i].recorded = false;
        files[i].verdict = VerdictOK;
        files[i].recordedAt = 0;
    }
}

void PageContext::AddRef() { InterlockedIncrement(&m_refCount); }

void PageContext::Release() {
    if (InterlockedDecrement(&m_refCount) == 0) {
        delete this;
    }
}

void PageContext::Tell() {
    if (InterlockedExchange(&m_newsPosted, 1) != 0) {
        return;
    }
    SharedLock hold(lock);
    if (m_page) {
        PostMessageW(m_page, WM_PAGE_NEWS, generation, 0);
    }
}

void PageContext::NewsTaken() { InterlockedExchange(&m_newsPosted, 0); }

void PageContext::Detach() {
    ExclusiveLock hold(lock);
    m_page = NULL;
}
