#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "base/app_state.h"
#include "base/gui_listbox.h"
#include "main_window_session.h"
#include "main_window_test.h"
#include "res/resource.h"

namespace {

const int CommandIds[] = {IDM_QUICKSUM, IDM_SAVE_LIST, IDM_EXIT, IDM_CLEAR_LIST, IDM_ABOUT};

bool Greyed(HMENU menu, UINT id) { return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED) != 0; }

std::string MenuText(HMENU menu, UINT id) {
    char text[256] = "";
    GetMenuStringA(menu, id, text, sizeof text, MF_BYCOMMAND);
    return text;
}

// Rectangle of a control in the main window's client coordinates.
RECT ControlRect(HWND window, HWND control) {
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(NULL, window, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string Describe(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "-" + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

TEST_F(MainWindowTest, CaptionIsTheProgramName) {
    EXPECT_EQ(WindowText(m_window), "Digestor");
    EXPECT_EQ(MainWindow, m_window);
}

TEST_F(MainWindowTest, NoPlaceholderTextRemains) {
    const std::vector<std::string> placeholders = {"LABEL", "BUTTON", "TEXT", "DLG_MAIN"};
    std::vector<HWND> controls;
    for (HWND child = GetWindow(m_window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        controls.push_back(child);
    }
    ASSERT_GE(controls.size(), 8u);
    for (HWND control : controls) {
        std::string text = WindowText(control);
        for (const std::string& placeholder : placeholders) {
            EXPECT_NE(text, placeholder) << "control " << GetDlgCtrlID(control);
        }
    }
    EXPECT_NE(WindowText(m_window), "DLG_MAIN");
}

TEST_F(MainWindowTest, LabelAndStartButtonShowTheLanguageStrings) {
    std::string label = ModuleString(m_language, IDS_ALGORITHM_LABEL);
    std::string start = ModuleString(m_language, IDS_START);
    ASSERT_FALSE(label.empty());
    ASSERT_FALSE(start.empty());
    EXPECT_EQ(WindowText(m_session->Control(IDC_ALGORITHM_LABEL)), label);
    EXPECT_EQ(WindowText(m_session->Control(IDC_START)), start);
}

TEST_F(MainWindowTest, MenuIsTheLanguageModulesWithSaveAndClearGreyed) {
    HMENU menu = GetMenu(m_window);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(MainMenu, menu);
    HMENU original = LoadMenuA(m_language, MAKEINTRESOURCEA(IDR_MAIN_MENU));
    ASSERT_NE(original, nullptr);
    for (int id : CommandIds) {
        ASSERT_NE(GetMenuState(menu, id, MF_BYCOMMAND), static_cast<UINT>(-1)) << id;
        EXPECT_EQ(MenuText(menu, id), MenuText(original, id)) << id;
    }
    for (int item = 0; item < GetMenuItemCount(menu); ++item) {
        char text[64] = "";
        GetMenuStringA(menu, item, text, sizeof text, MF_BYPOSITION);
        EXPECT_STRNE(text, "MENU") << "the template's placeholder menu is still set";
    }
    DestroyMenu(original);

    EXPECT_TRUE(Greyed(menu, IDM_SAVE_LIST));
    EXPECT_TRUE(Greyed(menu, IDM_CLEAR_LIST));
    EXPECT_FALSE(Greyed(menu, IDM_QUICKSUM));
    EXPECT_FALSE(Greyed(menu, IDM_EXIT));
    EXPECT_FALSE(Greyed(menu, IDM_ABOUT));
}

TEST_F(MainWindowTest, AlgorithmBoxListsFourNamesWithMd5Selected) {
    HWND box = m_session->Control(IDC_ALGORITHM);
    const char* expected[] = {"MD2", "MD4", "MD5", "CRC32"};
    ASSERT_EQ(SendMessageA(box, CB_GETCOUNT, 0, 0), 4);
    for (int i = 0; i < 4; ++i) {
        char name[32] = "";
        SendMessageA(box, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(name));
        EXPECT_STREQ(name, expected[i]) << i;
    }
    EXPECT_EQ(SendMessageA(box, CB_GETCURSEL, 0, 0), 2);
}

TEST_F(MainWindowTest, MarqueeBarWaitsHiddenBehindThePathField) {
    HWND bar = m_session->Control(IDC_MAIN_PROGRESS);
    HWND path = m_session->Control(IDC_SELECTED_PATH);
    EXPECT_FALSE(IsWindowVisible(bar));
    EXPECT_TRUE(IsWindowVisible(path));
    EXPECT_NE(GetWindowLongPtrA(bar, GWL_STYLE) & PBS_MARQUEE, 0);
    EXPECT_EQ(GetWindowLongPtrA(bar, GWL_EXSTYLE), WS_EX_NOPARENTNOTIFY);
    EXPECT_EQ(SendMessageA(bar, PBM_GETBARCOLOR, 0, 0), 0x595959);
    EXPECT_TRUE(SameRect(ControlRect(m_window, bar), ControlRect(m_window, path)));
}

TEST_F(MainWindowTest, StartButtonIsDisabledAndTheClassCarriesTheProgramIcon) {
    EXPECT_FALSE(IsWindowEnabled(m_session->Control(IDC_START)));
    HICON icon = LoadIconA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDI_APP));
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(reinterpret_cast<HICON>(GetClassLongPtrA(m_window, GCLP_HICON)), icon);
}

TEST_F(MainWindowTest, ResizingMovesAndSizesEachControlByItsAnchors) {
    // right edge, bottom edge, width, height
    struct Anchor {
        int id;
        bool right, bottom, width, height;
    };
    const Anchor anchors[] = {
        {IDC_FRAME, false, false, false, true},
        {IDC_FILE_LIST, false, false, true, true},
        {IDC_SELECTED_PATH, false, true, true, false},
        {IDC_MAIN_PROGRESS, false, true, true, false},
        {IDC_ALGORITHM_LABEL, false, true, false, false},
        {IDC_ALGORITHM, false, true, false, false},
        {IDC_START, true, true, false, false},
    };
    std::map<int, RECT> before;
    for (const Anchor& anchor : anchors) {
        before[anchor.id] = ControlRect(m_window, m_session->Control(anchor.id));
    }
    RECT client, frame;
    GetClientRect(m_window, &client);
    GetWindowRect(m_window, &frame);

    SetWindowPos(m_window, NULL, 0, 0, frame.right - frame.left + 120, frame.bottom - frame.top + 90,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT grown;
    GetClientRect(m_window, &grown);
    int dx = grown.right - client.right;
    int dy = grown.bottom - client.bottom;
    ASSERT_GT(dx, 0);
    ASSERT_GT(dy, 0);

    std::map<int, RECT> expected;
    for (const Anchor& anchor : anchors) {
        RECT r = before[anchor.id];
        if (anchor.right) {
            OffsetRect(&r, dx, 0);
        }
        if (anchor.bottom) {
            OffsetRect(&r, 0, dy);
        }
        if (anchor.width) {
            r.right += dx;
        }
        if (anchor.height) {
            r.bottom += dy;
        }
        expected[anchor.id] = r;
    }
    auto allPlaced = [&] {
        for (const Anchor& anchor : anchors) {
            if (!SameRect(ControlRect(m_window, m_session->Control(anchor.id)), expected[anchor.id])) {
                return false;
            }
        }
        return true;
    };
    WaitFor(allPlaced, 5000);
    for (const Anchor& anchor : anchors) {
        RECT actual = ControlRect(m_window, m_session->Control(anchor.id));
        EXPECT_TRUE(SameRect(actual, expected[anchor.id]))
            << "control " << anchor.id << ": " << Describe(actual) << " instead of "
            << Describe(expected[anchor.id]);
    }
}

TEST_F(MainWindowTest, CannotBeShrunkBelowItsInitialSize) {
    RECT initial;
    GetWindowRect(m_window, &initial);
    int width = initial.right - initial.left;
    int height = initial.bottom - initial.top;
    SetWindowPos(m_window, NULL, 0, 0, width - 100, height - 80, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT after;
    GetWindowRect(m_window, &after);
    EXPECT_GE(after.right - after.left, width);
    EXPECT_GE(after.bottom - after.top, height);
}

TEST_F(MainWindowTest, SelectingAnEntryShowsItsWholeText) {
    const char* first = "C:\\data\\a.txt";
    const char* second = "d41d8cd98f00b204e9800998ecf8427e <- MD5 -> C:\\data\\b & c.txt";
    ASSERT_EQ(FileList->AddEntry(first), 0);
    ASSERT_EQ(FileList->AddEntry(second), 1);
    HWND path = m_session->Control(IDC_SELECTED_PATH);
    LPARAM list = reinterpret_cast<LPARAM>(m_list);

    FileList->SetSelection(1);
    SendMessageA(m_window, WM_COMMAND, MAKEWPARAM(IDC_FILE_LIST, LBN_SELCHANGE), list);
    EXPECT_EQ(WindowText(path), second);
    EXPECT_STREQ(FileNameBuffer, second);

    // Other notifications of the list leave the field alone.
    FileList->SetSelection(0);
    SendMessageA(m_window, WM_COMMAND, MAKEWPARAM(IDC_FILE_LIST, LBN_DBLCLK), list);
    EXPECT_EQ(WindowText(path), second);

    SendMessageA(m_window, WM_COMMAND, MAKEWPARAM(IDC_FILE_LIST, LBN_SELCHANGE), list);
    EXPECT_EQ(WindowText(path), first);
}

TEST_F(MainWindowTest, ClearListEmptiesTheListAndThePathFieldAndGreysTheCommands) {
    HMENU menu = GetMenu(m_window);
    HWND path = m_session->Control(IDC_SELECTED_PATH);
    HWND start = m_session->Control(IDC_START);
    FileList->AddEntry("C:\\one.txt");
    FileList->AddEntry("C:\\two.txt");
    FileList->SetSelection(0);
    SetWindowTextA(path, "C:\\one.txt");
    EnableWindow(start, TRUE);
    EnableMenuItem(menu, IDM_SAVE_LIST, MF_BYCOMMAND | MF_ENABLED);
    EnableMenuItem(menu, IDM_CLEAR_LIST, MF_BYCOMMAND | MF_ENABLED);
    ASSERT_FALSE(Greyed(menu, IDM_SAVE_LIST));
    ASSERT_FALSE(Greyed(menu, IDM_CLEAR_LIST));
    ASSERT_TRUE(IsWindowEnabled(start));

    SendMessageA(m_window, WM_COMMAND, IDM_CLEAR_LIST, 0);

    EXPECT_EQ(SendMessageA(m_list, LB_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(WindowText(path), "");
    EXPECT_FALSE(IsWindowEnabled(start));
    EXPECT_TRUE(Greyed(menu, IDM_SAVE_LIST));
    EXPECT_TRUE(Greyed(menu, IDM_CLEAR_LIST));
}

// Each way of closing ends the dialog with 1 and gives back the menu and the language module.
class MainWindowCloseTest : public MainWindowTest {
protected:
    void ExpectClosedBy(UINT message, WPARAM wParam) {
        HMENU menu = GetMenu(m_window);
        ASSERT_NE(GetModuleHandleA(m_languagePath.c_str()), nullptr);
        EXPECT_EQ(CloseWith(message, wParam, 0), 1);
        EXPECT_FALSE(IsWindow(m_window));
        EXPECT_EQ(LanguageModule, nullptr);
        EXPECT_EQ(GetModuleHandleA(m_languagePath.c_str()), nullptr) << "the language module is still loaded";
        EXPECT_EQ(MainMenu, nullptr);
        EXPECT_FALSE(IsMenu(menu));
    }
};

TEST_F(MainWindowCloseTest, CloseBoxOrSystemMenu) { ExpectClosedBy(WM_SYSCOMMAND, SC_CLOSE); }

TEST_F(MainWindowCloseTest, ExitCommand) { ExpectClosedBy(WM_COMMAND, IDM_EXIT); }

TEST_F(MainWindowCloseTest, CloseMessage) { ExpectClosedBy(WM_CLOSE, 0); }

TEST_F(MainWindowCloseTest, OtherSystemCommandsLeaveTheWindowOpen) {
    SendMessageA(m_window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    SendMessageA(m_window, WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_TRUE(IsWindow(m_window));
    EXPECT_NE(LanguageModule, nullptr);
    ExpectClosedBy(WM_SYSCOMMAND, SC_CLOSE);
}

class GermanMainWindowTest : public MainWindowTest {
protected:
    const char* LanguageFile() const override { return "1031.dll"; }
};

TEST_F(GermanMainWindowTest, ShowsTheGermanStrings) {
    HMODULE english = LoadLibraryA(LanguagePath("1033.dll").c_str());
    ASSERT_NE(english, nullptr);
    std::string englishStart = ModuleString(english, IDS_START);
    FreeLibrary(english);

    std::string start = ModuleString(m_language, IDS_START);
    ASSERT_NE(start, englishStart);
    EXPECT_EQ(WindowText(m_session->Control(IDC_START)), start);
    EXPECT_EQ(WindowText(m_session->Control(IDC_ALGORITHM_LABEL)),
              ModuleString(m_language, IDS_ALGORITHM_LABEL));
    HMENU original = LoadMenuA(m_language, MAKEINTRESOURCEA(IDR_MAIN_MENU));
    ASSERT_NE(original, nullptr);
    EXPECT_EQ(MenuText(GetMenu(m_window), IDM_EXIT), MenuText(original, IDM_EXIT));
    DestroyMenu(original);
}

TEST(MainWindowWithoutMenu, ShowsTheFixedErrorAndEndsWithOne) {
    ASSERT_TRUE(PrepareProcessState());
    std::string path = ProgramFolder() + "\\app_tests\\no_menu.dll";
    HMODULE module = LoadLibraryA(path.c_str());
    ASSERT_NE(module, nullptr) << path;
    INT_PTR result = -2;
    std::vector<SeenMessageBox> boxes;
    {
        MainWindowSession session(module);
        EXPECT_TRUE(session.Boxes().WaitForCount(1));
        EXPECT_TRUE(session.WaitForEnd(&result));
        boxes = session.Boxes().Seen();
    }
    EXPECT_EQ(result, 1);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "ERROR");
    EXPECT_EQ(boxes[0].text, "CAN'T SET MENU!");
    EXPECT_EQ(boxes[0].owner, nullptr);
    EXPECT_TRUE(boxes[0].errorIcon);
    EXPECT_FALSE(boxes[0].hasYes);
    EXPECT_EQ(LanguageModule, nullptr);
    EXPECT_EQ(GetModuleHandleA(path.c_str()), nullptr);
}

} // namespace
