// AttachLayout: controls follow the window's edges by their anchor flags through every resize,
// the window keeps its minimum size, and the layout survives a window procedure put in front.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "companion/varnolib.h"
#include "tests/varnolib/window_test_helpers.h"

namespace {

struct Control {
    int id;
    int flags; // -1: not in the layout table
    RECT start;
    bool visible;
};

// The program's anchors (8, 12, 6, 6 hidden, 2, 2, 3), each flag bit alone, a control outside the
// table; positions in client pixels of a 600 x 400 client area.
const std::vector<Control> Controls = {
    {1011, AnchorHeight, {5, 5, 65, 395}, true},
    {1012, AnchorWidth | AnchorHeight, {70, 10, 590, 310}, true},
    {1013, AnchorWidth | AnchorBottom, {70, 315, 590, 339}, true},
    {1015, AnchorWidth | AnchorBottom, {70, 315, 590, 339}, false},
    {1016, AnchorBottom, {70, 360, 150, 384}, true},
    {1017, AnchorBottom, {160, 362, 260, 386}, true},
    {1018, AnchorRight | AnchorBottom, {470, 360, 590, 384}, true},
    {1030, AnchorRight, {400, 20, 450, 40}, true},
    {1031, AnchorWidth, {400, 50, 450, 70}, true},
    {1099, -1, {300, 100, 340, 120}, true},
};
const int StartClientWidth = 600, StartClientHeight = 400;
const DWORD MainStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;

std::vector<LayoutEntry> TableOf(const std::vector<Control>& controls) {
    std::vector<LayoutEntry> table;
    for (const Control& c : controls)
        if (c.flags >= 0)
            table.push_back({c.id, c.flags});
    table.push_back({1200, AnchorWidth}); // listed, but the window has no such control
    return table;
}

// A dialog-class window like the program's main window, with static controls at known places.
HWND CreateMainWindow(int x = 40, int y = 40) {
    RECT frame = {0, 0, StartClientWidth, StartClientHeight};
    AdjustWindowRectEx(&frame, MainStyle, FALSE, 0);
    HWND window = CreateWindowExA(0, "#32770", "layout", MainStyle, x, y, frame.right - frame.left,
                                  frame.bottom - frame.top, NULL, NULL, GetModuleHandleA(NULL), NULL);
    if (window == NULL)
        return NULL;
    for (const Control& c : Controls)
        CreateWindowExA(0, "STATIC", "", WS_CHILD | (c.visible ? WS_VISIBLE : 0), c.start.left, c.start.top,
                        c.start.right - c.start.left, c.start.bottom - c.start.top, window,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), GetModuleHandleA(NULL), NULL);
    ShowWindow(window, SW_SHOWNOACTIVATE);
    return window;
}

SIZE SizeOf(const RECT& r) { return {r.right - r.left, r.bottom - r.top}; }

// Where a control must be once the client area has grown by (dx, dy).
RECT Expected(const Control& c, int dx, int dy) {
    RECT r = c.start;
    if (c.flags < 0)
        return r;
    if (c.flags & AnchorWidth)
        r.right += dx;
    else if (c.flags & AnchorRight)
        OffsetRect(&r, dx, 0);
    if (c.flags & AnchorHeight)
        r.bottom += dy;
    else if (c.flags & AnchorBottom)
        OffsetRect(&r, 0, dy);
    // A control that would get a negative width or height collapses to nothing instead.
    r.right = std::max(r.right, r.left);
    r.bottom = std::max(r.bottom, r.top);
    return r;
}

void ExpectLayout(HWND window, int dx, int dy) {
    RECT client;
    GetClientRect(window, &client);
    ASSERT_EQ(client.right, StartClientWidth + dx);
    ASSERT_EQ(client.bottom, StartClientHeight + dy);
    for (const Control& c : Controls) {
        HWND control = GetDlgItem(window, c.id);
        const RECT want = Expected(c, dx, dy);
        const RECT got = RectInParent(control);
        EXPECT_TRUE(EqualRect(&got, &want))
            << "control " << c.id << " (flags " << c.flags << ") after growing by " << dx << ", " << dy
            << ": at " << got.left << ", " << got.top << ", " << got.right << ", " << got.bottom
            << " instead of " << want.left << ", " << want.top << ", " << want.right << ", " << want.bottom;
        EXPECT_EQ(IsWindowVisible(control) != FALSE, c.visible) << "control " << c.id;
    }
}

void Resize(HWND window, SIZE startFrame, int dx, int dy) {
    SetWindowPos(window, NULL, 0, 0, startFrame.cx + dx, startFrame.cy + dy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

class AttachLayoutTest : public ::testing::Test {
protected:
    void SetUp() override {
        window = CreateMainWindow();
        ASSERT_NE(window, nullptr);
        startFrame = SizeOf(WindowRectOf(window));
        table = TableOf(Controls);
    }
    void TearDown() override {
        if (IsWindow(window))
            DestroyWindow(window);
    }
    int32_t Attach(int32_t options = 1) {
        return AttachLayout(GetModuleHandleA(NULL), window, NULL, static_cast<int32_t>(table.size()),
                            table.data(), options);
    }
    HWND window = NULL;
    SIZE startFrame = {};
    std::vector<LayoutEntry> table;
};

TEST_F(AttachLayoutTest, ControlsFollowTheirAnchorsThroughResizes) {
    ASSERT_NE(Attach(), 0);
    ExpectLayout(window, 0, 0);
    const int steps[][2] = {{200, 150}, {333, 17}, {1, 1}, {0, 260}, {250, 0}, {0, 0}, {120, 90}};
    for (const auto& step : steps) {
        Resize(window, startFrame, step[0], step[1]);
        ExpectLayout(window, step[0], step[1]);
    }
}

TEST_F(AttachLayoutTest, WindowDoesNotShrinkBelowItsStartSize) {
    ASSERT_NE(Attach(), 0);
    MINMAXINFO limits = {};
    SendMessageA(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    EXPECT_EQ(limits.ptMinTrackSize.x, startFrame.cx);
    EXPECT_EQ(limits.ptMinTrackSize.y, startFrame.cy);

    Resize(window, startFrame, 100, 80);
    Resize(window, startFrame, -150, -120);
    const SIZE now = SizeOf(WindowRectOf(window));
    EXPECT_EQ(now.cx, startFrame.cx);
    EXPECT_EQ(now.cy, startFrame.cy);
    ExpectLayout(window, 0, 0);
}

TEST_F(AttachLayoutTest, WithoutOptionOneTheWindowMayShrink) {
    ASSERT_NE(Attach(0), 0);
    Resize(window, startFrame, -100, -60);
    const SIZE now = SizeOf(WindowRectOf(window));
    EXPECT_EQ(now.cx, startFrame.cx - 100);
    EXPECT_EQ(now.cy, startFrame.cy - 60);
    ExpectLayout(window, -100, -60);
}

LONG_PTR FrontPrevious = 0;
int FrontSizes = 0;
int FrontDestroys = 0;

LRESULT CALLBACK FrontProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SIZE)
        ++FrontSizes;
    if (message == WM_NCDESTROY)
        ++FrontDestroys;
    return CallWindowProcA(reinterpret_cast<WNDPROC>(FrontPrevious), window, message, wParam, lParam);
}

TEST_F(AttachLayoutTest, KeepsWorkingUnderAProcedurePutInFrontLater) {
    ASSERT_NE(Attach(), 0);
    // As the program's list drawing does after the layout is attached.
    FrontSizes = FrontDestroys = 0;
    FrontPrevious = SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FrontProc));
    ASSERT_NE(FrontPrevious, 0);

    Resize(window, startFrame, 180, 75);
    EXPECT_GT(FrontSizes, 0);
    ExpectLayout(window, 180, 75);
    Resize(window, startFrame, 40, 300);
    ExpectLayout(window, 40, 300);

    MINMAXINFO limits = {};
    SendMessageA(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    EXPECT_EQ(limits.ptMinTrackSize.x, startFrame.cx);

    EXPECT_TRUE(DestroyWindow(window));
    EXPECT_EQ(FrontDestroys, 1);
}

TEST_F(AttachLayoutTest, EachWindowHasItsOwnLayout) {
    ASSERT_NE(Attach(), 0);
    HWND other = CreateMainWindow(80, 80);
    ASSERT_NE(other, nullptr);
    ASSERT_NE(AttachLayout(GetModuleHandleA(NULL), other, NULL, static_cast<int32_t>(table.size()),
                           table.data(), 1),
              0);
    Resize(window, startFrame, 90, 45);
    ExpectLayout(window, 90, 45);
    ExpectLayout(other, 0, 0);
    Resize(other, startFrame, 10, 220);
    ExpectLayout(other, 10, 220);
    ExpectLayout(window, 90, 45);
    // The first window going away leaves the second one's layout alone.
    DestroyWindow(window);
    Resize(other, startFrame, 70, 5);
    ExpectLayout(other, 70, 5);
    DestroyWindow(other);
}

TEST_F(AttachLayoutTest, SecondCallMeasuresAnewWithTheNewTable) {
    ASSERT_NE(Attach(), 0);
    Resize(window, startFrame, 100, 100);
    const RECT list = RectInParent(GetDlgItem(window, 1012));
    const RECT button = RectInParent(GetDlgItem(window, 1018));
    const LayoutEntry only[] = {{1012, AnchorWidth}};
    ASSERT_NE(AttachLayout(GetModuleHandleA(NULL), window, NULL, 1, only, 1), 0);

    Resize(window, startFrame, 150, 130);
    const RECT listNow = RectInParent(GetDlgItem(window, 1012));
    const RECT buttonNow = RectInParent(GetDlgItem(window, 1018));
    EXPECT_EQ(listNow.left, list.left);
    EXPECT_EQ(listNow.right, list.right + 50);
    EXPECT_EQ(listNow.bottom, list.bottom) << "height no longer follows";
    EXPECT_TRUE(EqualRect(&buttonNow, &button)) << "no longer in the table";

    // The new minimum is the size at the second call.
    Resize(window, startFrame, 0, 0);
    const SIZE now = SizeOf(WindowRectOf(window));
    EXPECT_EQ(now.cx, startFrame.cx + 100);
    EXPECT_EQ(now.cy, startFrame.cy + 100);
}

TEST_F(AttachLayoutTest, RefusesBadArguments) {
    const HINSTANCE instance = GetModuleHandleA(NULL);
    EXPECT_EQ(AttachLayout(instance, NULL, NULL, static_cast<int32_t>(table.size()), table.data(), 1), 0);
    int dummy = 0;
    EXPECT_EQ(AttachLayout(instance, window, &dummy, static_cast<int32_t>(table.size()), table.data(), 1), 0);
    EXPECT_EQ(AttachLayout(instance, window, NULL, -1, table.data(), 1), 0);
    EXPECT_EQ(AttachLayout(instance, window, NULL, 3, NULL, 1), 0);
    // None of them hooked the window: its controls stay where they were.
    Resize(window, startFrame, 60, 60);
    for (const Control& c : Controls) {
        const RECT got = RectInParent(GetDlgItem(window, c.id));
        EXPECT_TRUE(EqualRect(&got, &c.start)) << "control " << c.id;
    }
}

} // namespace
