// A count of files and their bytes made on a thread of its own beside a run, so that the run's
// readouts can tell how much there is in all long before the run gets there. Sizes come from a
// file's attributes, never from opening it: under Wine an open is a call to the server all threads
// share (about 75 microseconds), an attribute query is not (about 13).
#pragma once

#include <windows.h>

class SizeCount {
public:
    // The count's work, on its thread: Add for each file until it has them all or Add says to end.
    typedef void (*Work)(SizeCount& count, void* context);

    SizeCount();
    ~SizeCount(); // ends the work
    SizeCount(const SizeCount&) = delete;
    SizeCount& operator=(const SizeCount&) = delete;

    // Starts work on a thread of its own; false when the thread could not start (the count then
    // stays incomplete). Once only.
    bool Start(Work work, void* context);
    bool Started() const { return m_thread != NULL; }
    // Work's: one more file, of bytes; false once the count is to end.
    bool Add(ULONGLONG bytes);
    bool Going() const { return m_ending == 0; }
    // Any thread: the files and bytes counted so far, and whether the work went through them all.
    ULONGLONG Files() const;
    ULONGLONG Bytes() const;
    bool Complete() const { return m_complete != 0; }
    // Asks the work to end and waits for it, its pending I/O cancelled again and again meanwhile.
    void End();

private:
    static DWORD WINAPI Run(LPVOID self);

    HANDLE m_thread;
    Work m_work;
    void* m_context;
    volatile LONG64 m_files;
    volatile LONG64 m_bytes;
    volatile LONG m_ending;
    volatile LONG m_complete;
};

// The size of the file at path by its attributes; 0 for what is no file or cannot be asked. A
// device path (\\.\) is not asked: a look at a named pipe could take the instance its reader waits for.
ULONGLONG SizeByAttributes(const char* path);
