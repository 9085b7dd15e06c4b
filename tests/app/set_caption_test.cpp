#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "base/app_state.h"
#include "base/set_caption.h"
#include "main_window_test.h"

namespace {

// SetCaption talks to MainWindow only; a plain window of this thread stands in.
class SetCaptionTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_window = CreateWindowExA(0, "STATIC", "before", WS_POPUP, 0, 0, 10, 10, NULL, NULL,
                                   GetModuleHandleA(NULL), NULL);
        ASSERT_NE(m_window, nullptr);
        m_oldWindow = MainWindow;
        MainWindow = m_window;
        wsprintfA(AppCaption, "%s", "Digestor");
    }
    void TearDown() override {
        MainWindow = m_oldWindow;
        DestroyWindow(m_window);
    }

    HWND m_window = NULL;
    HWND m_oldWindow = NULL;
};

TEST_F(SetCaptionTest, EmptyTextLeavesTheProgramName) {
    SetCaption("");
    EXPECT_EQ(WindowText(m_window), "Digestor");
}

TEST_F(SetCaptionTest, TextFollowsTheProgramName) {
    SetCaption("abc");
    EXPECT_EQ(WindowText(m_window), "Digestor: abc");
}

TEST_F(SetCaptionTest, PercentSignsAreShownAsTheyAre) {
    SetCaption("100% %s %d %n");
    EXPECT_EQ(WindowText(m_window), "Digestor: 100% %s %d %n");
}

TEST_F(SetCaptionTest, LongTextIsCutTo127Characters) {
    std::string text(300, 'z');
    SetCaption(text.c_str());
    std::string caption = WindowText(m_window);
    EXPECT_EQ(caption.size(), 127u);
    EXPECT_EQ(caption, "Digestor: " + std::string(117, 'z'));
}

} // namespace
