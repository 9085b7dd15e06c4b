// StyleWindow: flat frames for lists, edits, group boxes and a dialog's controls, without moving,
// resizing, showing or hiding anything, and without upsetting an owner-drawn list's painting.
#include <gtest/gtest.h>

#include "companion/varnolib.h"
#include "tests/varnolib/window_test_helpers.h"

namespace {

int DrawItems = 0;

// Parent of the controls: counts the owner-drawn list's WM_DRAWITEM and paints nothing itself.
LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DRAWITEM) {
        const DRAWITEMSTRUCT* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (item->CtlType == ODT_LISTBOX) {
            ++DrawItems;
            FillRect(item->hDC, &item->rcItem, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
            return TRUE;
        }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

const char* const ParentClass = "VarnoLibStyleTestParent";

class StyleWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = ParentProc;
        windowClass.hInstance = GetModuleHandleA(NULL);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        windowClass.lpszClassName = ParentClass;
        RegisterClassA(&windowClass); // fails harmlessly when an earlier test registered it
        parent = CreateWindowExA(0, ParentClass, "style", WS_OVERLAPPEDWINDOW, 50, 50, 500, 400, NULL, NULL,
                                 GetModuleHandleA(NULL), NULL);
        ASSERT_NE(parent, nullptr);
        ShowWindow(parent, SW_SHOWNOACTIVATE);
    }
    void TearDown() override { DestroyWindow(parent); }

    HWND Add(const char* windowClass, DWORD style, DWORD extended, int x, int y, int width, int height) {
        return CreateWindowExA(extended, windowClass, "", WS_CHILD | style, x, y, width, height, parent, NULL,
                               GetModuleHandleA(NULL), NULL);
    }
    HWND parent = NULL;
};

// StyleWindow with the given arguments must leave window where and as visible as it was.
void ExpectStyledInPlace(HWND window, int32_t kind, int32_t a, int32_t b) {
    const RECT before = WindowRectOf(window);
    const bool visible = IsWindowVisible(window) != FALSE;
    EXPECT_NE(StyleWindow(window, kind, a, b), 0);
    const RECT after = WindowRectOf(window);
    EXPECT_TRUE(EqualRect(&before, &after)) << ClassOf(window) << " moved or resized";
    EXPECT_EQ(IsWindowVisible(window) != FALSE, visible) << ClassOf(window);
}

bool HasSunkenEdge(HWND window) { return (GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0; }
bool HasBorder(HWND window) { return (GetWindowLongPtrA(window, GWL_STYLE) & WS_BORDER) != 0; }

TEST_F(StyleWindowTest, ListAndEditGetAFlatFrameInPlace) {
    HWND list = Add("LISTBOX", WS_VISIBLE | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, WS_EX_CLIENTEDGE,
                    10, 10, 200, 150);
    HWND edit = Add("EDIT", WS_VISIBLE | ES_AUTOHSCROLL | ES_READONLY, WS_EX_CLIENTEDGE, 10, 170, 200, 24);
    ASSERT_TRUE(list && edit);
    for (HWND control : {list, edit}) {
        ExpectStyledInPlace(control, 0, 0, 0);
        EXPECT_FALSE(HasSunkenEdge(control)) << ClassOf(control);
        EXPECT_TRUE(HasBorder(control)) << ClassOf(control);
    }
    // A second call changes nothing more.
    ExpectStyledInPlace(edit, 0, 0, 0);
    EXPECT_TRUE(HasBorder(edit));
}

TEST_F(StyleWindowTest, ListOfWholeItemsKeepsItsHeightAndItsEdge) {
    // Such a list would change its height to fit whole items into the larger client area.
    HWND list = Add("LISTBOX", WS_VISIBLE | WS_VSCROLL | LBS_NOTIFY, WS_EX_CLIENTEDGE, 10, 10, 200, 150);
    ASSERT_NE(list, nullptr);
    ExpectStyledInPlace(list, 0, 0, 0);
    EXPECT_TRUE(HasSunkenEdge(list));
}

TEST_F(StyleWindowTest, HiddenControlStaysHidden) {
    HWND edit = Add("EDIT", 0, WS_EX_CLIENTEDGE, 10, 10, 200, 24);
    ASSERT_NE(edit, nullptr);
    ExpectStyledInPlace(edit, 0, 0, 0);
    EXPECT_FALSE(IsWindowVisible(edit));
}

TEST_F(StyleWindowTest, GroupBoxGetsAFlatLine) {
    HWND group = Add("BUTTON", WS_VISIBLE | BS_GROUPBOX, 0, 10, 10, 250, 60);
    ASSERT_NE(group, nullptr);
    ExpectStyledInPlace(group, 2, 0, 0);
    EXPECT_NE(GetWindowLongPtrA(group, GWL_STYLE) & BS_FLAT, 0);
    EXPECT_EQ(GetWindowLongPtrA(group, GWL_STYLE) & BS_TYPEMASK, BS_GROUPBOX);
}

TEST_F(StyleWindowTest, GroupBoxKindRefusesOtherControls) {
    HWND button = Add("BUTTON", WS_VISIBLE | BS_PUSHBUTTON, 0, 10, 10, 80, 24);
    HWND edit = Add("EDIT", WS_VISIBLE, WS_EX_CLIENTEDGE, 10, 40, 80, 24);
    ASSERT_TRUE(button && edit);
    EXPECT_EQ(StyleWindow(button, 2, 0, 0), 0);
    EXPECT_EQ(GetWindowLongPtrA(button, GWL_STYLE) & BS_FLAT, 0);
    EXPECT_EQ(StyleWindow(edit, 2, 0, 0), 0);
    EXPECT_TRUE(HasSunkenEdge(edit));
}

TEST_F(StyleWindowTest, DialogKindStylesTheDialogsControls) {
    HWND edit = Add("EDIT", WS_VISIBLE, WS_EX_CLIENTEDGE, 10, 10, 200, 24);
    HWND hidden = Add("EDIT", 0, WS_EX_CLIENTEDGE, 10, 40, 200, 24);
    HWND group = Add("BUTTON", WS_VISIBLE | BS_GROUPBOX, 0, 10, 70, 250, 60);
    HWND combo = Add("COMBOBOX", WS_VISIBLE | CBS_DROPDOWNLIST, 0, 10, 140, 100, 120);
    ASSERT_TRUE(edit && hidden && group && combo);
    const RECT comboBefore = WindowRectOf(combo);

    ExpectStyledInPlace(parent, 1, 1, 0);
    for (HWND control : {edit, hidden}) {
        EXPECT_FALSE(HasSunkenEdge(control));
        const RECT r = RectInParent(control);
        EXPECT_EQ(r.right - r.left, 200);
    }
    EXPECT_FALSE(IsWindowVisible(hidden));
    EXPECT_NE(GetWindowLongPtrA(group, GWL_STYLE) & BS_FLAT, 0);
    const RECT comboAfter = WindowRectOf(combo);
    EXPECT_TRUE(EqualRect(&comboBefore, &comboAfter));
}

TEST_F(StyleWindowTest, DialogKindWithoutOneLeavesTheControlsAlone) {
    HWND edit = Add("EDIT", WS_VISIBLE, WS_EX_CLIENTEDGE, 10, 10, 200, 24);
    ASSERT_NE(edit, nullptr);
    ExpectStyledInPlace(parent, 1, 0, 0);
    EXPECT_TRUE(HasSunkenEdge(edit));
}

TEST_F(StyleWindowTest, OwnerDrawnListStillDrawsItsItems) {
    HWND list = Add("LISTBOX", WS_VISIBLE | WS_BORDER | WS_VSCROLL | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS, 0,
                    10, 10, 200, 150);
    ASSERT_NE(list, nullptr);
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("C:\\one.txt"));
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("C:\\two.txt"));
    UpdateWindow(parent);
    ExpectStyledInPlace(list, 0, 0, 0);
    ExpectStyledInPlace(parent, 1, 1, 0);
    DrawItems = 0;
    RedrawWindow(list, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    EXPECT_GE(DrawItems, 2);
}

TEST_F(StyleWindowTest, RefusesUnknownKindsAndMissingWindows) {
    HWND edit = Add("EDIT", WS_VISIBLE, WS_EX_CLIENTEDGE, 10, 10, 200, 24);
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(StyleWindow(edit, 3, 0, 0), 0);
    EXPECT_EQ(StyleWindow(edit, -1, 0, 0), 0);
    EXPECT_TRUE(HasSunkenEdge(edit));
    EXPECT_EQ(StyleWindow(NULL, 0, 0, 0), 0);
}

} // namespace
