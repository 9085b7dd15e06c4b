// Running the real Digestor.exe as a separate process from a test: start it, find its main
// window, watch for message boxes, and never leave it behind.
#pragma once

#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// Bounds of the waits: generous, since a loaded machine may take seconds to start a program
// under Wine; a passing test never waits them out.
constexpr DWORD kStartTimeoutMs = 30000;
constexpr DWORD kExitTimeoutMs = 20000;

// Folder of the running test program (bin/), without a trailing separator.
std::string BinDirectory();

// path joined to name with a backslash.
std::string JoinPath(const std::string& path, const std::string& name);

// Creates the file path holding exactly content; false when it exists or cannot be written.
bool WriteTestFile(const std::string& path, const std::string& content);

// Deletes folder with everything below it, read-only files too.
void RemoveTree(const std::string& folder);

// A started program; the destructor terminates it if it still runs.
class DigestorProcess {
public:
    DigestorProcess() = default;
    ~DigestorProcess();
    DigestorProcess(const DigestorProcess&) = delete;
    DigestorProcess& operator=(const DigestorProcess&) = delete;

    // Starts program with arguments; workingDirectory empty means the test's own.
    bool Start(const std::string& program, const std::vector<std::string>& arguments = {},
               const std::string& workingDirectory = std::string());

    // The main window once it is up and its thread idle; null when the program ended, showed a
    // message box instead, or timeoutMs passed (Describe() then tells what it shows).
    HWND WaitForMainWindow(DWORD timeoutMs = kStartTimeoutMs);

    // True when the program ended within timeoutMs; exitCode is then its exit code.
    bool WaitForExit(DWORD timeoutMs, DWORD& exitCode);

    bool IsRunning() const;
    DWORD Id() const { return process_.dwProcessId; }
    HANDLE Handle() const { return process_.hProcess; }

    // Ends the program if it still runs and waits for it.
    void Kill();

    // The program's visible top-level windows with caption, class and message-box text.
    std::string Describe() const;

private:
    PROCESS_INFORMATION process_ = {};
};

// A message box read from another process.
struct SeenMessageBox {
    std::string title;
    std::string text;
};

// The first visible message box of processId, or null.
HWND FindMessageBox(DWORD processId);

// Title and text (the static with ID 0xFFFF) of a message box.
SeenMessageBox ReadMessageBox(HWND box);

// Presses a button of a message box the way a click does (WM_COMMAND with its ID).
bool PressMessageBoxButton(HWND box, int buttonId);

// Watches a process for message boxes while it lives: records every box and answers it with the
// harmless choice (No, Cancel or OK), so a test that meets one it did not expect fails instead
// of hanging.
class MessageBoxWatcher {
public:
    explicit MessageBoxWatcher(DWORD processId);
    ~MessageBoxWatcher();
    MessageBoxWatcher(const MessageBoxWatcher&) = delete;
    MessageBoxWatcher& operator=(const MessageBoxWatcher&) = delete;

    std::vector<SeenMessageBox> Seen() const;

    // "title: text" of every box seen, one per line; empty when none.
    std::string SeenAsText() const;

private:
    void Run();

    DWORD processId_;
    std::atomic<bool> stop_{false};
    mutable std::mutex lock_;
    std::vector<SeenMessageBox> seen_;
    std::vector<HWND> answered_;
    std::thread thread_;
};

// A fresh folder under the temporary folder, removed with everything in it at the end.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return path_; }

    // Copies source into the folder (or a subfolder given in name, which is created).
    bool CopyIn(const std::string& source, const std::string& name);

private:
    std::string path_;
};

// Runs a console program to its end with its standard output captured; false when it could not
// be started or did not end within timeoutMs (it is then terminated).
bool RunToEnd(const std::string& commandLine, DWORD timeoutMs, DWORD& exitCode, std::string& output);
