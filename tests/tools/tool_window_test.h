// Fixture for the tool commands: the main window of the application tests,
// plus what the tools need on top of it. The session's watcher presses OK on
// every dialog of the window thread it meets, the tools' own dialogs included;
// those are told apart from message boxes by owner and caption.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/app/main_window_test.h"

std::string ReadWholeFile(const std::string& path);
bool WriteWholeFile(const std::string& path, const std::string& bytes);
// Names of the files and folders directly in folder, sorted.
std::vector<std::string> FolderContents(const std::string& folder);

class ToolWindowTest : public MainWindowTest {
protected:
    void SetUp() override;
    // Closes a tool dialog the test left open and the main window, then checks,
    // like MainWindowTest, that exactly m_expectedBoxes message boxes appeared;
    // the tools' dialogs do not count.
    void TearDown() override;

    // The message boxes the watcher answered so far, without the tools' dialogs.
    std::vector<SeenMessageBox> Boxes();
    bool WaitForBoxes(size_t count);
    // How many dialogs owned by the main window with this caption the watcher has met.
    size_t DialogsSeen(const std::string& caption);

    // A visible dialog of the window thread owned by the main window that matches, or null.
    HWND FindOwnedDialog(const std::function<bool(HWND)>& matches);
    HWND WaitForOwnedDialog(const std::function<bool(HWND)>& matches);

    // True once the window thread is back in the main window's own loop: no
    // dialog or message box of the thread exists and the main window is enabled.
    bool MainWindowIdle();
    bool WaitForMainWindowIdle() {
        return WaitFor([this] { return MainWindowIdle(); });
    }

    // Read at set-up: the language module goes with the main window.
    std::string m_quickSumCaption; // "Digestor: " and string 5401
    std::string m_saveTitle;       // string 5400

private:
    bool IsToolDialog(const SeenMessageBox& box) const;
};

std::string Describe(const std::vector<SeenMessageBox>& boxes);
