#include "tests/e2e/running_digestor.h"

std::string DigestorPath() { return JoinPath(BinDirectory(), "Digestor.exe"); }

void RunningDigestor::SetUp() {
    ASSERT_TRUE(digestor_.Start(DigestorPath())) << "cannot start " << DigestorPath();
    watcher_.reset(new MessageBoxWatcher(digestor_.Id()));
    window_ = digestor_.WaitForMainWindow();
    ASSERT_NE(window_, nullptr) << "no main window: " << digestor_.Describe();
}

void RunningDigestor::TearDown() {
    // The watcher sees the program to its end, then it goes; a box it answered fails the test.
    digestor_.Kill();
    if (watcher_) {
        EXPECT_EQ(watcher_->SeenAsText(), "") << "unexpected message boxes";
        watcher_.reset();
    }
}

HWND RunningDigestor::Control(int id) {
    HWND control = GetDlgItem(window_, id);
    EXPECT_NE(control, nullptr) << "the main window has no control " << id;
    return control;
}
