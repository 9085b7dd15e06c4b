// Watches the messages that reach the main window's thread through
// SendMessage, the way the workers reach every window: a WH_CALLWNDPROC hook
// on that thread hands each one to the watcher before the window procedure
// sees it, while the sender still waits. So the watcher sees the windows
// exactly as they are at that point of a worker's work, and whatever it does
// happens before the worker goes on.
#pragma once

#include <windows.h>

#include <functional>

#include "main_window_session.h"

class SentMessageHook {
public:
    // Runs on the window thread, also for the messages that thread sends to
    // its own windows; it must not send anything to another thread.
    typedef std::function<void(HWND window, UINT message, WPARAM wParam, LPARAM lParam)> Watcher;

    // One hook at a time; installed on the session's window thread.
    SentMessageHook(MainWindowSession& session, Watcher watcher);
    // Removed on the window thread, unless that thread has ended (and took the hook along).
    ~SentMessageHook();
    SentMessageHook(const SentMessageHook&) = delete;
    SentMessageHook& operator=(const SentMessageHook&) = delete;

    bool Installed() const { return m_hook != NULL; }

private:
    MainWindowSession& m_session;
    Watcher m_watcher;
    HHOOK m_hook;
};
