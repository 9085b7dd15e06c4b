// The expansion worker as a drop starts it: the busy look while it walks, the
// idle look once it is done, and folders that cannot be searched. The window
// thread's view is taken at the worker's own messages, so no timing decides
// what is seen.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "base/app_state.h"
#include "base/gui_listbox.h"
#include "main_window_test.h"
#include "res/resource.h"
#include "sent_message_hook.h"
#include "shell_drop.h"
#include "temp_tree.h"

namespace {

// What the main window shows at one point of the walk.
struct Look {
    bool taken = false;
    bool listEnabled = false;
    bool pathVisible = false;
    bool marqueeVisible = false;
    bool startEnabled = false;
    std::string startText;
};

// Read on the window thread, inside the hook.
Look TakeLook(HWND window) {
    Look look;
    look.taken = true;
    look.listEnabled = IsWindowEnabled(GetDlgItem(window, IDC_FILE_LIST)) != FALSE;
    look.pathVisible = IsWindowVisible(GetDlgItem(window, IDC_SELECTED_PATH)) != FALSE;
    look.marqueeVisible = IsWindowVisible(GetDlgItem(window, IDC_MAIN_PROGRESS)) != FALSE;
    look.startEnabled = IsWindowEnabled(GetDlgItem(window, IDC_START)) != FALSE;
    char text[256] = "";
    GetWindowTextA(GetDlgItem(window, IDC_START), text, sizeof text);
    look.startText = text;
    return look;
}

// The walk as the window thread met it.
struct Walk {
    std::vector<WPARAM> marquee; // PBM_SETMARQUEE switches in order
    Look atMarqueeOn;
    Look atWalkingText; // as the start button is given the walking text
    Look atFirstEntry;
    Look atScanDone;
    std::vector<std::string> startTexts; // texts the start button was given, in order
    int entries = 0;
};

class FolderExpandTest : public MainWindowTest {
protected:
    // Records the walk into m_walk; onFirstEntry runs on the window thread
    // when the worker lists its first file, before it goes on.
    SentMessageHook::Watcher Watch(std::function<void()> onFirstEntry = nullptr) {
        HWND main = m_window;
        HWND list = m_list;
        HWND start = m_session->Control(IDC_START);
        HWND marquee = m_session->Control(IDC_MAIN_PROGRESS);
        std::string walkingText = Text(IDS_START_EXPANDING);
        Walk* walk = &m_walk;
        return [=](HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
            if (window == marquee && message == PBM_SETMARQUEE) {
                walk->marquee.push_back(wParam);
                if (wParam && !walk->atMarqueeOn.taken) {
                    walk->atMarqueeOn = TakeLook(main);
                }
            } else if (window == start && message == WM_SETTEXT) {
                walk->startTexts.push_back(lParam ? reinterpret_cast<const char*>(lParam) : "");
                if (walk->startTexts.back() == walkingText) {
                    walk->atWalkingText = TakeLook(main);
                }
            } else if (window == list && message == LB_ADDSTRING && walk->entries++ == 0) {
                walk->atFirstEntry = TakeLook(main);
                if (onFirstEntry) {
                    onFirstEntry();
                }
            } else if (window == main && message == MSG_SCAN_DONE) {
                walk->atScanDone = TakeLook(main);
            }
        };
    }

    std::string Text(UINT id) { return ModuleString(m_language, id); }

    void ExpectBusy(const Look& look, const char* when) {
        SCOPED_TRACE(when);
        ASSERT_TRUE(look.taken);
        EXPECT_FALSE(look.listEnabled);
        EXPECT_FALSE(look.pathVisible);
        EXPECT_TRUE(look.marqueeVisible);
    }

    // Busy with the walking text, the start button disabled.
    void ExpectWalking(const Look& look, const char* when) {
        ExpectBusy(look, when);
        SCOPED_TRACE(when);
        EXPECT_FALSE(look.startEnabled);
        EXPECT_EQ(look.startText, Text(IDS_START_EXPANDING));
    }

    // The busy look is gone before the worker reports that it is done.
    void ExpectDoneAtScanDone() {
        const Look& look = m_walk.atScanDone;
        ASSERT_TRUE(look.taken) << "no MSG_SCAN_DONE";
        EXPECT_TRUE(look.listEnabled);
        EXPECT_TRUE(look.pathVisible);
        EXPECT_FALSE(look.marqueeVisible);
        EXPECT_TRUE(look.startEnabled);
        EXPECT_EQ(look.startText, Text(IDS_START));
    }

    void SetUp() override {
        MainWindowTest::SetUp();
        // The two texts must differ, or the busy text would prove nothing.
        ASSERT_FALSE(Text(IDS_START_EXPANDING).empty());
        ASSERT_NE(Text(IDS_START_EXPANDING), Text(IDS_START));
    }

    TempTree m_tree;
    Walk m_walk;
};

TEST_F(FolderExpandTest, BusyLookLastsFromBeforeTheFirstFileToBeforeScanDone) {
    std::string folder = m_tree.Folder("D");
    m_tree.File("D\\a.txt");
    m_tree.Folder("D\\sub");
    m_tree.File("D\\sub\\b.txt");
    {
        SentMessageHook hook(*m_session, Watch());
        ASSERT_TRUE(hook.Installed());
        DropOnto(m_window, {folder});
        ASSERT_TRUE(WaitForExpansionEnd(*m_session));
    }
    EXPECT_EQ(m_walk.marquee, (std::vector<WPARAM>{1, 0}));
    ExpectBusy(m_walk.atMarqueeOn, "marquee on");
    EXPECT_EQ(m_walk.startTexts, (std::vector<std::string>{Text(IDS_START_EXPANDING), Text(IDS_START)}));
    ExpectWalking(m_walk.atFirstEntry, "first file listed");
    ExpectDoneAtScanDone();
    EXPECT_EQ(m_walk.entries, 2);
    EXPECT_EQ(ListedEntries(), WalkOrder(folder));
    ExpectIdleLook();
}

TEST_F(FolderExpandTest, EmptyFolderShowsTheBusyLookAndListsNothing) {
    std::string folder = m_tree.Folder("empty");
    {
        SentMessageHook hook(*m_session, Watch());
        ASSERT_TRUE(hook.Installed());
        DropOnto(m_window, {folder});
        ASSERT_TRUE(WaitForExpansionEnd(*m_session));
    }
    EXPECT_EQ(m_walk.marquee, (std::vector<WPARAM>{1, 0}));
    ExpectBusy(m_walk.atMarqueeOn, "marquee on");
    ExpectBusy(m_walk.atWalkingText, "walking text set");
    EXPECT_EQ(m_walk.startTexts, (std::vector<std::string>{Text(IDS_START_EXPANDING), Text(IDS_START)}));
    EXPECT_EQ(m_walk.entries, 0);
    ExpectDoneAtScanDone();
    EXPECT_EQ(FileList->EntryCount(), 0);
    ExpectIdleLook();
}

TEST_F(FolderExpandTest, DropOfFilesOnlyShowsNoBusyLook) {
    std::string file = m_tree.File("only.txt");
    {
        SentMessageHook hook(*m_session, Watch());
        ASSERT_TRUE(hook.Installed());
        DropOnto(m_window, {file});
        ASSERT_TRUE(WaitForExpansionEnd(*m_session));
    }
    EXPECT_TRUE(m_walk.marquee.empty());
    EXPECT_TRUE(m_walk.startTexts.empty());
    ASSERT_TRUE(m_walk.atScanDone.taken) << "no MSG_SCAN_DONE";
    EXPECT_TRUE(m_walk.atScanDone.listEnabled);
    EXPECT_TRUE(m_walk.atScanDone.pathVisible);
    EXPECT_FALSE(m_walk.atScanDone.marqueeVisible);
    EXPECT_EQ(ListedEntries(), std::vector<std::string>{file});
    ExpectIdleLook();
}

// Under Wine, run as root, no folder can be made unreadable; a queued folder
// that is gone by the time its turn comes fails its search the same way.
TEST_F(FolderExpandTest, FolderThatCannotBeSearchedIsSkippedSilently) {
    std::string first = m_tree.Folder("A");
    m_tree.File("A\\a1.txt");
    m_tree.File("A\\a2.txt");
    std::string gone = m_tree.Folder("B");
    m_tree.File("B\\b.txt");
    std::string last = m_tree.Folder("C");
    m_tree.File("C\\c.txt");
    std::vector<std::string> expected = WalkOrder(first);
    for (const std::string& file : WalkOrder(last)) {
        expected.push_back(file);
    }
    ASSERT_EQ(expected.size(), 3u);
    bool removed = false;
    {
        SentMessageHook hook(*m_session, Watch([&] {
            m_tree.Remove("B");
            removed = GetFileAttributesA(gone.c_str()) == INVALID_FILE_ATTRIBUTES;
        }));
        ASSERT_TRUE(hook.Installed());
        DropOnto(m_window, {first, gone, last});
        ASSERT_TRUE(WaitForExpansionEnd(*m_session));
    }
    ASSERT_TRUE(removed) << "the folder was still there for its walk";
    EXPECT_EQ(ListedEntries(), expected);
    ExpectDoneAtScanDone();
    ExpectIdleLook();
    // TearDown fails the test on any message box.
}

} // namespace
