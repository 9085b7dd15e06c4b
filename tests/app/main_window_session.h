// Runs the program's main window the way the start-up does, on a window
// thread of its own, so the test thread can drive it like a user or a worker:
// with synchronous messages, which the window thread carries out.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "message_box_watcher.h"

// Folder of the test program; the build puts the language modules in its
// lang\ folder and VarnoLib64.dll beside it, as beside Digestor.exe.
std::string ProgramFolder();
std::string LanguagePath(const char* fileName); // ProgramFolder()\lang\fileName

// Polls condition every 10 ms for at most timeoutMs; true once it holds.
bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs = 20000);

// The visible, initialised main window among the windows of thread threadId, or null.
HWND FindMainWindow(DWORD threadId);

// The state the start-up fills before it runs the main window: instance,
// title, caption, folder, common controls and the companion library (the
// last two once per process). False when the library refuses.
bool PrepareProcessState();

class MainWindowSession {
public:
    // language becomes LanguageModule (the dialog releases it when it ends);
    // then dialog 101 runs modally with MainDialogProc on a new window thread.
    explicit MainWindowSession(HMODULE language);
    // Ends a dialog that is still running (WM_CLOSE) and waits for its thread.
    ~MainWindowSession();

    // Waits until the main window has finished its initialisation and shows;
    // null when it does not within the time limit.
    HWND WaitForWindow();
    HWND Window() const { return m_window; }
    HWND Control(int id) const { return GetDlgItem(m_window, id); }
    DWORD ThreadId() const { return m_threadId; }

    // Runs work on the window thread while the dialog runs and returns after it.
    void OnWindowThread(const std::function<void()>& work);

    // Waits until the dialog has ended; false when it does not in time.
    bool WaitForEnd(INT_PTR* result);

    // Message boxes of the window thread, answered OK (or Yes).
    MessageBoxWatcher& Boxes() { return *m_watcher; }

private:
    static DWORD WINAPI WindowThread(void* self);
    static LRESULT CALLBACK HelperProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HANDLE m_helperReady;
    HANDLE m_thread;
    DWORD m_threadId;
    HWND m_helper;
    HWND m_window;
    INT_PTR m_result;
    bool m_ended;
    bool m_gaveUp;
    std::unique_ptr<MessageBoxWatcher> m_watcher;
};
