// The taskbar button as the main window, the expansion worker and the hash
// runs drive it, against a recording fake of the shell's taskbar list that
// the main window creates on the shell's "TaskbarButtonCreated" message.
#include "base/taskbar.h"

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/app_state.h"
#include "res/resource.h"
#include "run/hash_job.h"
#include "tests/app/sent_message_hook.h"
#include "tests/app/shell_drop.h"
#include "tests/run/fake_taskbar.h"
#include "tests/run/hold_point.h"
#include "tests/run/run_fixture.h"

namespace {

const size_t NotSeen = static_cast<size_t>(-1);

class MainWindowTaskbar : public HeldRunFixture {
protected:
    // count files of a few KiB as the list; their result lines go to m_expected.
    void ListFiles(size_t count, size_t size) {
        std::vector<std::string> paths;
        m_expected.clear();
        for (size_t i = 0; i < count; ++i) {
            std::vector<BYTE> content = RandomBytes(size + i * 1000, static_cast<unsigned>(50 + i));
            paths.push_back(m_tree.Root() + "\\t" + std::to_string(i) + ".bin");
            ASSERT_TRUE(WriteBytes(paths.back(), content));
            m_expected.push_back(ResultLine(DigestMD5, content, paths.back()));
        }
        SetEntries(paths);
    }

    // The start command as the button sends it.
    void Start() { SendMessageA(m_window, WM_COMMAND, IDC_START, 0); }

    void ExpectCall(const TaskbarCallRecord& record, int object, TaskbarCall call, ULONGLONG first,
                    ULONGLONG second = 0) {
        EXPECT_EQ(record.object, object);
        EXPECT_EQ(record.call, call);
        EXPECT_EQ(record.first, first);
        EXPECT_EQ(record.second, second);
        if (call != TaskbarCall::HrInit) {
            EXPECT_EQ(record.window, m_window);
        }
    }

    // The calls of a run from its first on: NORMAL, values of count that never
    // go back, and NOPROGRESS exactly once, at the end. The last value shown.
    ULONGLONG ExpectRunCalls(const std::vector<TaskbarCallRecord>& calls, size_t first, int object,
                             ULONGLONG count) {
        EXPECT_GE(calls.size(), first + 3);
        if (calls.size() < first + 3) {
            return 0;
        }
        ExpectCall(calls[first], object, TaskbarCall::SetProgressState, TBPF_NORMAL);
        ExpectCall(calls[first + 1], object, TaskbarCall::SetProgressValue, 0, count);
        ULONGLONG shown = 0;
        for (size_t i = first + 1; i + 1 < calls.size(); ++i) {
            SCOPED_TRACE("call " + std::to_string(i));
            EXPECT_EQ(calls[i].object, object);
            EXPECT_EQ(calls[i].call, TaskbarCall::SetProgressValue);
            EXPECT_EQ(calls[i].second, count);
            EXPECT_GE(calls[i].first, shown);
            EXPECT_EQ(calls[i].window, m_window);
            shown = calls[i].first;
        }
        ExpectCall(calls.back(), object, TaskbarCall::SetProgressState, TBPF_NOPROGRESS);
        return shown;
    }

    std::vector<std::string> m_expected;
};

// What the fake had recorded when the walk reached each of its steps.
struct WalkCalls {
    size_t atMarqueeShown = NotSeen;
    size_t atMarqueeOn = NotSeen;
    bool listEnabledAtMarqueeOn = true;
    size_t atWalkingText = NotSeen;
    size_t atIdleText = NotSeen;
    bool startEnabledAtIdleText = false;
    size_t atScanDone = NotSeen;
};

TEST_F(MainWindowTaskbar, WalkIsIndeterminateBetweenTheMarqueeShownAndItsEnd) {
    if (!UseFakeTaskbar()) {
        GTEST_SKIP() << "no taskbar progress on this system";
    }
    std::string folder = m_tree.Folder("D");
    m_tree.File("D\\a.txt");
    m_tree.Folder("D\\sub");
    m_tree.File("D\\sub\\b.txt");
    WalkCalls walk;
    HWND main = m_window;
    HWND marquee = m_session->Control(IDC_MAIN_PROGRESS);
    HWND start = m_session->Control(IDC_START);
    {
        SentMessageHook hook(*m_session, [&](HWND window, UINT message, WPARAM wParam, LPARAM) {
            if (window == marquee && message == WM_SHOWWINDOW && wParam && walk.atMarqueeShown == NotSeen) {
                walk.atMarqueeShown = FakeTaskbarCalls().size();
            } else if (window == marquee && message == PBM_SETMARQUEE && wParam) {
                walk.atMarqueeOn = FakeTaskbarCalls().size();
                walk.listEnabledAtMarqueeOn = IsWindowEnabled(GetDlgItem(main, IDC_FILE_LIST)) != FALSE;
            } else if (window == start && message == WM_SETTEXT) {
                if (walk.atWalkingText == NotSeen) {
                    walk.atWalkingText = FakeTaskbarCalls().size();
                } else {
                    walk.atIdleText = FakeTaskbarCalls().size();
                    walk.startEnabledAtIdleText = IsWindowEnabled(start) != FALSE;
                }
            } else if (window == main && message == MSG_SCAN_DONE) {
                walk.atScanDone = FakeTaskbarCalls().size();
            }
        });
        ASSERT_TRUE(hook.Installed());
        DropOnto(m_window, {folder});
        ASSERT_TRUE(WaitForExpansionEnd(*m_session));
    }
    EXPECT_EQ(ListedEntries().size(), 2u);

    std::vector<TaskbarCallRecord> calls = FakeTaskbarCalls();
    ASSERT_EQ(calls.size(), 3u);
    ExpectCall(calls[0], 1, TaskbarCall::HrInit, 0);
    ExpectCall(calls[1], 1, TaskbarCall::SetProgressState, TBPF_INDETERMINATE);
    ExpectCall(calls[2], 1, TaskbarCall::SetProgressState, TBPF_NOPROGRESS);
    // Indeterminate after the list is disabled and the marquee shown, before
    // the marquee starts; no progress after start is enabled again, before its
    // text comes back; both before the worker reports that it is done.
    EXPECT_EQ(walk.atMarqueeShown, 1u);
    EXPECT_EQ(walk.atMarqueeOn, 2u);
    EXPECT_FALSE(walk.listEnabledAtMarqueeOn);
    EXPECT_EQ(walk.atWalkingText, 2u);
    EXPECT_EQ(walk.atIdleText, 3u);
    EXPECT_TRUE(walk.startEnabledAtIdleText);
    EXPECT_EQ(walk.atScanDone, 3u);
}

TEST_F(MainWindowTaskbar, CancelEndsWithOneNoProgressAfterTheValuesReached) {
    if (!UseFakeTaskbar()) {
        GTEST_SKIP() << "no taskbar progress on this system";
    }
    ListFiles(3, 4096);
    // Cancelled inside the second file.
    Hold.entry = 1;
    Hold.after = 1024;
    Hold.message = WM_COMMAND;
    Hold.wParam = IDC_CANCEL;
    Start();
    ASSERT_TRUE(WaitFor([] { return Hold.reached.load(); }));
    ASSERT_TRUE(WaitForIdle());

    std::vector<TaskbarCallRecord> calls = FakeTaskbarCalls();
    ASSERT_FALSE(calls.empty());
    ExpectCall(calls[0], 1, TaskbarCall::HrInit, 0);
    ULONGLONG shown = ExpectRunCalls(calls, 1, 1, 3);
    EXPECT_LE(shown, 1u) << "a value past the entry being digested";
    std::vector<std::string> lines = ListedEntries();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], m_expected[0]);
    EXPECT_NE(lines[1], m_expected[1]);
}

TEST_F(MainWindowTaskbar, SecondButtonMessageReplacesTheObjectAndRunsReportToTheNewOne) {
    if (!UseFakeTaskbar()) {
        GTEST_SKIP() << "no taskbar progress on this system";
    }
    SendMessageA(m_window, TaskbarButtonMessage, 0, 0);
    ASSERT_EQ(FakeTaskbarsCreated(), 2);
    EXPECT_EQ(FakeTaskbarReferences(1), 0);
    EXPECT_EQ(FakeTaskbarReferences(2), 1);
    std::vector<TaskbarCallRecord> calls = FakeTaskbarCalls();
    ASSERT_EQ(calls.size(), 2u) << "the new object shows nothing until the next call";
    ExpectCall(calls[0], 1, TaskbarCall::HrInit, 0);
    ExpectCall(calls[1], 2, TaskbarCall::HrInit, 0);

    ListFiles(2, 3000);
    Start();
    ASSERT_TRUE(WaitForIdle());
    calls = FakeTaskbarCalls();
    EXPECT_EQ(ExpectRunCalls(calls, 2, 2, 2), 2u);
    EXPECT_EQ(FakeTaskbarCallsOnReleased(), 0);
    EXPECT_EQ(ListedEntries(), m_expected);
}

TEST_F(MainWindowTaskbar, ButtonMessageDuringARunMovesTheRestOfItToTheNewObject) {
    if (!UseFakeTaskbar()) {
        GTEST_SKIP() << "no taskbar progress on this system";
    }
    ListFiles(3, 4096);
    Hold.entry = 1;
    Hold.after = 1024;
    Start();
    ASSERT_TRUE(WaitFor([] { return Hold.reached.load(); }));
    SendMessageA(m_window, TaskbarButtonMessage, 0, 0);
    ASSERT_EQ(FakeTaskbarsCreated(), 2);
    size_t replaced = FakeTaskbarCalls().size();
    Hold.released = true;
    ASSERT_TRUE(WaitForIdle());

    std::vector<TaskbarCallRecord> calls = FakeTaskbarCalls();
    ASSERT_GE(calls.size(), replaced + 2);
    ExpectCall(calls[replaced - 1], 2, TaskbarCall::HrInit, 0);
    for (size_t i = 1; i + 1 < replaced; ++i) {
        EXPECT_EQ(calls[i].object, 1) << "call " << i;
    }
    for (size_t i = replaced; i < calls.size(); ++i) {
        EXPECT_EQ(calls[i].object, 2) << "call " << i;
    }
    ExpectCall(calls[calls.size() - 2], 2, TaskbarCall::SetProgressValue, 3, 3);
    ExpectCall(calls.back(), 2, TaskbarCall::SetProgressState, TBPF_NOPROGRESS);
    EXPECT_EQ(FakeTaskbarReferences(1), 0);
    EXPECT_EQ(FakeTaskbarCallsOnReleased(), 0);
    EXPECT_EQ(ListedEntries(), m_expected);
}

TEST_F(MainWindowTaskbar, FailedCreationLeavesRunsAndWalksWorking) {
    if (!UseFakeTaskbar(true)) {
        GTEST_SKIP() << "no taskbar progress on this system";
    }
    ListFiles(3, 2048);
    Start();
    ASSERT_TRUE(WaitForIdle());
    EXPECT_EQ(ListedEntries(), m_expected);

    std::string folder = m_tree.Folder("D");
    std::string file = m_tree.File("D\\a.txt");
    DropOnto(m_window, {folder});
    ASSERT_TRUE(WaitForExpansionEnd(*m_session));
    std::vector<std::string> lines = ListedEntries();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[3], file);
    ExpectIdleLook();

    EXPECT_EQ(FakeTaskbarsCreated(), 0);
    EXPECT_TRUE(FakeTaskbarCalls().empty());
}

} // namespace
