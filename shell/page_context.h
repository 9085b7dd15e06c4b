// What the Digests page and its worker share: the selection, the digests found so far and the
// progress, under one SRWLOCK that neither side holds across a read or a call that waits. The worker
// tells the page by PostMessage only; the context is counted, so whichever side lets go last frees it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "base/check_tally.h"
#include "base/scoped_lock.h"
#include "engine/digestor.h"
#include "shell/module_lock.h"

// The worker's news: wParam is the context's generation, so that news of a context the page has
// replaced (the algorithms ticked anew) is told from the current one's.
const UINT WM_PAGE_NEWS = WM_APP + 1;

enum PageFileState { FileWaiting, FileDigestsDone, FileCannotOpen, FileCannotRead };

struct PageFile {
    std::wstring path;                // as Explorer gave it
    PageFileState state;              // FileWaiting until the worker is through with it
    std::vector<DigestKind> kinds;    // the ticked ones, then a recorded list's own when not among them
    std::vector<std::string> digests; // by kinds, lower-case hex
    bool recorded;                    // a recorded list names the file
    Verdict verdict;
    std::wstring listName;         // the list's file name
    unsigned long long recordedAt; // its heading's recorded= time
};

// The file being read, once its read has lasted about a second (a large file): how far it is and how
// fast it goes over the last few seconds.
struct PageReading {
    bool shown;     // the rest holds a file that is still being read
    size_t file;    // index into files
    ULONGLONG done; // its bytes read
    ULONGLONG size; // its size when it was opened
    double bytesPerSecond;
};

class PageContext {
public:
    // Count 1, owned by the caller. page gets the news; kinds are the ticked algorithms.
    PageContext(const std::vector<std::wstring>& paths, const std::vector<DigestKind>& kinds, HWND page,
                WPARAM generation);
    PageContext(const PageContext&) = delete;
    PageContext& operator=(const PageContext&) = delete;

    void AddRef();
    void Release();

    // Worker: posts WM_PAGE_NEWS unless one is on its way already, so the page's queue never fills.
    void Tell();
    // Page: before it reads the news, so that anything the worker adds after is told again.
    void NewsTaken();
    // Page: no more news, the page is going.
    void Detach();

    // Set at construction, read by both without the lock.
    const std::vector<DigestKind> kinds;
    const WPARAM generation;

    SRWLOCK lock;
    // Under lock.
    std::vector<PageFile> files;
    std::vector<size_t> rows; // the files shown, folders left out: set once by the worker
    bool rowsKnown;           // rows and foldersLeftOut are set
    size_t foldersLeftOut;
    ULONGLONG totalBytes; // of the rows' files, as found before reading
    ULONGLONG doneBytes;
    PageReading reading;
    size_t filesDone;
    bool finished; // the worker is through with every row

    volatile LONG stop;     // page: set to stop the worker
    volatile LONG stopSeen; // worker: set once it reads nothing more
    HMODULE heldModule;     // the worker's own count on the DLL, freed as it ends

private:
    ~PageContext() {}

    LONG m_refCount;
    LONG m_newsPosted;
    HWND m_page; // under lock
    ModuleReference m_module;
};
