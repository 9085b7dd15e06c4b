// The main window with hash runs driven from the test: the fixture the run
// tests share, and the files and expected lines they build.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "engine/digestor.h"
#include "tests/app/main_window_test.h"
#include "tests/app/temp_tree.h"

// Names written into result lines, by DigestKind.
extern const char* const DigestNames[4];

// Writes bytes into a new file at path.
bool WriteBytes(const std::string& path, const std::vector<BYTE>& bytes);
std::vector<BYTE> RandomBytes(size_t size, unsigned seed);
// The engine used on its own over the whole content in one call: no blocks,
// no files, no list.
std::string EngineDigest(DigestKind kind, const std::vector<BYTE>& bytes);
// The line a run writes for a file of that content.
std::string ResultLine(DigestKind kind, const std::vector<BYTE>& bytes, const std::string& path);
// Whether path can be opened with no sharing at all: nobody else holds it open.
bool OpensExclusively(const std::string& path);

class RunFixture : public MainWindowTest {
protected:
    void SetUp() override;
    // Closes the main window. The progress dialog is a #32770 window without a
    // file list, so the box watcher meets it too: it is told apart by caption.
    // Any other box fails the test unless its text is m_expectedBox.
    void TearDown() override;

    void SetEntries(const std::vector<std::string>& entries);
    void SelectAlgorithm(int index);
    // No progress dialog and no worker.
    bool WaitForIdle();

    // Puts a recording fake in place of the shell's taskbar list on the
    // window thread and announces the taskbar button to the main window, as
    // the shell does. False when this system has no taskbar progress (older
    // than 6.1), the fake could not be registered or the object was not made
    // as asked: with creationFails the fake's factory refuses, and none is.
    // TearDown empties the taskbar object again, which outlives the window thread.
    bool UseFakeTaskbar(bool creationFails = false);

    TempTree m_tree;
    std::string m_progressCaption;
    std::string m_expectedBox;
    bool m_fakeTaskbar = false;
};
