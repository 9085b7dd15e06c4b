// AttachDialog: a dialog opens centred over the main window and is pulled inside the work area of
// the main window's monitor when centring would put it partly off screen.
#include <gtest/gtest.h>

#include "companion/varnolib.h"
#include "tests/varnolib/window_test_helpers.h"

namespace {

const int DialogWidth = 200, DialogHeight = 100;

HWND CreateTopWindow(DWORD style, int x, int y, int width, int height, HWND owner = NULL) {
    HWND window = CreateWindowExA(0, "#32770", "", style, x, y, width, height, owner, NULL,
                                  GetModuleHandleA(NULL), NULL);
    if (window != NULL)
        ShowWindow(window, SW_SHOWNOACTIVATE);
    return window;
}

class AttachDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        MONITORINFO info = {};
        info.cbSize = sizeof(info);
        ASSERT_TRUE(GetMonitorInfoA(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY), &info));
        work = info.rcWork;
        ASSERT_GE(work.right - work.left, 800);
        ASSERT_GE(work.bottom - work.top, 600);
    }
    void TearDown() override {
        if (dialog != NULL)
            DestroyWindow(dialog);
        if (main != NULL)
            DestroyWindow(main);
    }
    // Main window (popup with caption, so no size limits apply) at x, y; the dialog owned by it.
    void Open(int x, int y, int width, int height, int dialogWidth = DialogWidth,
              int dialogHeight = DialogHeight) {
        main = CreateTopWindow(WS_POPUP | WS_CAPTION, x, y, width, height);
        ASSERT_NE(main, nullptr);
        const RECT placed = WindowRectOf(main);
        ASSERT_EQ(placed.left, x);
        ASSERT_EQ(placed.top, y);
        dialog = CreateTopWindow(WS_POPUP, 10, 10, dialogWidth, dialogHeight, main);
        ASSERT_NE(dialog, nullptr);
    }
    void ExpectDialogAt(int x, int y, int width = DialogWidth, int height = DialogHeight) {
        const RECT r = WindowRectOf(dialog);
        EXPECT_EQ(r.left, x);
        EXPECT_EQ(r.top, y);
        EXPECT_EQ(r.right - r.left, width) << "size kept";
        EXPECT_EQ(r.bottom - r.top, height) << "size kept";
    }
    RECT work = {};
    HWND main = NULL;
    HWND dialog = NULL;
};

TEST_F(AttachDialogTest, CentresOverTheMainWindow) {
    Open(work.left + 200, work.top + 150, 600, 400);
    ASSERT_NE(AttachDialog(dialog, main), 0);
    ExpectDialogAt(work.left + 200 + 200, work.top + 150 + 150);
}

TEST_F(AttachDialogTest, FollowsTheMainWindowWhereverItIs) {
    Open(work.left + 20, work.top + 30, 300, 200);
    ASSERT_NE(AttachDialog(dialog, main), 0);
    ExpectDialogAt(work.left + 20 + 50, work.top + 30 + 50);
}

TEST_F(AttachDialogTest, StaysInsideTheWorkAreaLeftOfTheScreen) {
    // Centred it would start 200 pixels left of the work area.
    Open(work.left - 300, work.top + 100, 400, 300);
    ASSERT_NE(AttachDialog(dialog, main), 0);
    ExpectDialogAt(work.left, work.top + 100 + 100);
}

TEST_F(AttachDialogTest, StaysInsideTheWorkAreaAboveTheScreen) {
    Open(work.left + 100, work.top - 280, 400, 300);
    ASSERT_NE(AttachDialog(dialog, main), 0);
    ExpectDialogAt(work.left + 100 + 100, work.top);
}

TEST_F(AttachDialogTest, StaysInsideTheWorkAreaRightAndBelow) {
    // Centred it would end 100 pixels right of and 150 below the work area.
    Open(work.right - 100, work.bottom - 50, 400, 300);
    ASSERT_NE(AttachDialog(dialog, main), 0);
    ExpectDialogAt(work.right - DialogWidth, work.bottom - DialogHeight);
}

TEST_F(AttachDialogTest, DialogLargerThanTheWorkAreaShowsItsTopLeftCorner) {
    const int width = work.right - work.left + 100, height = work.bottom - work.top + 60;
    Open(work.left + 100, work.top + 100, 400, 300, width, height);
    ASSERT_NE(AttachDialog(dialog, main), 0);
    ExpectDialogAt(work.left, work.top, width, height);
}

TEST_F(AttachDialogTest, WithoutMainWindowCentresInTheWorkArea) {
    Open(work.left + 10, work.top + 10, 300, 200);
    ASSERT_NE(AttachDialog(dialog, NULL), 0);
    ExpectDialogAt(work.left + (work.right - work.left - DialogWidth) / 2,
                   work.top + (work.bottom - work.top - DialogHeight) / 2);
}

TEST_F(AttachDialogTest, RefusesAChildWindowAndLeavesItAlone) {
    Open(work.left + 200, work.top + 150, 600, 400);
    HWND child = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 5, 6, 50, 40, main, NULL,
                                 GetModuleHandleA(NULL), NULL);
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(AttachDialog(child, main), 0);
    const RECT r = RectInParent(child);
    EXPECT_EQ(r.left, 5);
    EXPECT_EQ(r.top, 6);
    EXPECT_EQ(AttachDialog(NULL, main), 0);
}

} // namespace
