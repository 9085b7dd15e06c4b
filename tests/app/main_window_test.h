// Fixture for the tests that need the main window: the process-wide state as
// the start-up leaves it, a language module, and dialog 101 running on a
// window thread. The test thread talks to it the way the workers do.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "main_window_session.h"

// Text of a window, read through WM_GETTEXT.
std::string WindowText(HWND window);
// String id as the language module holds it, read straight from the module.
std::string ModuleString(HMODULE module, UINT id);

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    // Closes a dialog the test left open and checks that no message box
    // appeared beyond the expected ones.
    void TearDown() override;

    virtual const char* LanguageFile() const { return "1033.dll"; }

    // Sends message to the main window and waits for the dialog to end.
    INT_PTR CloseWith(UINT message, WPARAM wParam, LPARAM lParam);

    // The look a finished drop leaves: list enabled, path field in place of
    // the marquee bar, start enabled with its usual text, queue freed.
    void ExpectIdleLook();

    // Whether the file list's painting is held: the main window's repaint
    // timer runs. The timer is left as it was.
    bool ListPaintingHeld();

    std::unique_ptr<MainWindowSession> m_session;
    HMODULE m_language = NULL; // released by the dialog when it ends
    std::string m_languagePath;
    HWND m_window = NULL;
    HWND m_list = NULL;
    size_t m_expectedBoxes = 0;
};
