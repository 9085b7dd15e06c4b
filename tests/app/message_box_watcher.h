// Answers the message boxes of one thread while a test runs, and records them
// so the test can check that exactly the expected ones appeared.
#pragma once

#include <windows.h>

#include <mutex>
#include <set>
#include <string>
#include <vector>

struct SeenMessageBox {
    std::string caption;
    std::string text;
    HWND owner;     // null for a box without owner
    bool hasYes;    // a Yes/No box (answered Yes); otherwise answered OK
    bool errorIcon; // shows the system's error icon
};

class MessageBoxWatcher {
public:
    // Watches the top-level dialogs of thread threadId that have no control
    // skipId (so the main window, which has the file list, is never taken for a box).
    MessageBoxWatcher(DWORD threadId, int skipId);
    ~MessageBoxWatcher();

    std::vector<SeenMessageBox> Seen();
    // Waits (bounded) until at least count boxes have been answered.
    bool WaitForCount(size_t count, DWORD timeoutMs = 20000);

private:
    static DWORD WINAPI Run(void* self);
    static BOOL CALLBACK VisitWindow(HWND window, LPARAM self);
    void Answer(HWND box);

    DWORD m_threadId;
    int m_skipId;
    HANDLE m_stop;
    HANDLE m_thread;
    std::mutex m_mutex;
    std::vector<SeenMessageBox> m_seen;
    std::set<HWND> m_answered;
};
