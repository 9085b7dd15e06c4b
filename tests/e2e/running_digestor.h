// Test fixture: the real Digestor.exe started from bin/ without arguments, its main window up,
// and a watcher that fails the test on any message box it shows.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tests/e2e/process_harness.h"

// bin/Digestor.exe
std::string DigestorPath();

class RunningDigestor : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A control of the main window by ID; fails the test when it is missing.
    HWND Control(int id);

    DigestorProcess digestor_;
    std::unique_ptr<MessageBoxWatcher> watcher_;
    HWND window_ = nullptr;
};
