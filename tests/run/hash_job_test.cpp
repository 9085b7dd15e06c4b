#include "run/hash_job.h"

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/app_state.h"
#include "base/gui_listbox.h"
#include "engine/digestor.h"
#include "res/resource.h"
#include "run/progress_dialog.h"
#include "base/taskbar.h"
#include "tests/app/sent_message_hook.h"
#include "tests/run/fake_taskbar.h"
#include "tests/run/run_fixture.h"

namespace {

// What reached the progress dialog's bars during a run, recorded on the window
// thread as the job's reports arrive.
struct BarReports {
    int filePositions = 0;
    int totalPositions = 0;
    LPARAM lastFileRange = -1;
    WPARAM lastFilePosition = 0;
    WPARAM lastTotalPosition = 0;
};

// The main window with the progress dialog opened from the test the way the
// start button opens it.
class HashJob : public RunFixture {
protected:
    SentMessageHook::Watcher RecordBars(BarReports& reports) {
        BarReports* record = &reports;
        return [record](HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
            if (!ProgressWindow || GetParent(window) != ProgressWindow) {
                return;
            }
            int id = GetDlgCtrlID(window);
            if (id == IDC_FILE_PROGRESS && message == PBM_SETRANGE32) {
                record->lastFileRange = lParam;
            } else if (id == IDC_FILE_PROGRESS && message == PBM_SETPOS) {
                ++record->filePositions;
                record->lastFilePosition = wParam;
            } else if (id == IDC_TOTAL_PROGRESS && message == PBM_SETPOS) {
                ++record->totalPositions;
                record->lastTotalPosition = wParam;
            }
        };
    }

    // Opens the progress dialog on the window thread and waits for the run to end.
    void RunAndWait() {
        m_session->OnWindowThread([] {
            HWND dialog = CreateDialogParamA(AppInstance, MAKEINTRESOURCEA(IDD_PROGRESS), MainWindow,
                                             ProgressDialogProc, 0);
            ProgressWindow = IsWindow(dialog) ? dialog : NULL;
        });
        ASSERT_TRUE(WaitForIdle()) << "the run did not end";
    }
};

TEST_F(HashJob, EmptyFileGivesTheResultLineOfTheTypicalRoad) {
    m_tree.Folder("D");
    std::string path = m_tree.File("D\\a.txt");
    SetEntries({path});
    RunAndWait();
    std::vector<std::string> lines = ListedEntries();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "d41d8cd98f00b204e9800998ecf8427e <- MD5 -> " + path);
}

TEST_F(HashJob, EveryAlgorithmAgreesWithTheEngineOverBlockBoundaries) {
    const size_t sizes[] = {0, 1, 1023, 1024, 1025, 3 * 1024 * 1024 + 17};
    std::vector<std::string> paths;
    std::vector<std::vector<BYTE>> contents;
    for (size_t i = 0; i < sizeof sizes / sizeof sizes[0]; ++i) {
        contents.push_back(RandomBytes(sizes[i], static_cast<unsigned>(1000 + i)));
        paths.push_back(m_tree.Root() + "\\f" + std::to_string(sizes[i]) + ".bin");
        ASSERT_TRUE(WriteBytes(paths.back(), contents.back()));
    }
    // -1 is no selection at all, which means MD5.
    const int selections[] = {0, 1, 2, 3, -1};
    for (int selection : selections) {
        SCOPED_TRACE("selection " + std::to_string(selection));
        DigestKind kind = selection < 0 ? DigestMD5 : selection;
        SetEntries(paths);
        SelectAlgorithm(selection);
        ASSERT_EQ(SendMessageA(m_session->Control(IDC_ALGORITHM), CB_GETCURSEL, 0, 0), selection);
        RunAndWait();
        std::vector<std::string> lines = ListedEntries();
        ASSERT_EQ(lines.size(), paths.size());
        for (size_t i = 0; i < paths.size(); ++i) {
            EXPECT_EQ(lines[i], ResultLine(kind, contents[i], paths[i]));
        }
    }
}

TEST_F(HashJob, UnopenableEntriesBecomeFailureLines) {
    std::string missing = m_tree.Root() + "\\missing.txt";
    std::string folder = m_tree.Folder("folder");
    std::string file = m_tree.File("present.txt");
    // Held open for writing by another handle: one that shares nothing, and
    // one that shares everything, whose writes the job does not share.
    std::string locked = m_tree.File("locked.txt");
    HANDLE writer =
        CreateFileA(locked.c_str(), GENERIC_WRITE, 0, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE) << GetLastError();
    std::string written = m_tree.File("written.txt");
    HANDLE sharingWriter = CreateFileA(written.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                       NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    ASSERT_NE(sharingWriter, INVALID_HANDLE_VALUE) << GetLastError();
    // The last entry is empty: it is not opened, yet the whole-list bar counts it.
    SetEntries({missing, "", folder, file, locked, written, ""});
    SelectAlgorithm(1);
    BarReports bars;
    {
        SentMessageHook hook(*m_session, RecordBars(bars));
        ASSERT_TRUE(hook.Installed());
        RunAndWait();
    }
    CloseHandle(writer);
    CloseHandle(sharingWriter);

    std::string format = ModuleString(m_language, IDS_OPEN_FAILED);
    ASSERT_NE(format.find("%s"), std::string::npos);
    char expected[2048];
    std::vector<std::string> lines = ListedEntries();
    ASSERT_EQ(lines.size(), 7u);
    wsprintfA(expected, format.c_str(), "MD4", missing.c_str());
    EXPECT_EQ(lines[0], expected);
    EXPECT_NE(lines[0], missing);
    EXPECT_EQ(lines[1], "") << "an empty entry is left alone";
    wsprintfA(expected, format.c_str(), "MD4", folder.c_str());
    EXPECT_EQ(lines[2], expected);
    EXPECT_EQ(lines[3], "31d6cfe0d16ae931b73c59d7e0c089c0 <- MD4 -> " + file);
    wsprintfA(expected, format.c_str(), "MD4", locked.c_str());
    EXPECT_EQ(lines[4], expected);
    wsprintfA(expected, format.c_str(), "MD4", written.c_str());
    EXPECT_EQ(lines[5], expected);
    EXPECT_EQ(lines[6], "");
    EXPECT_GE(bars.totalPositions, 1);
    EXPECT_EQ(bars.lastTotalPosition, 7u) << "every entry, the empty ones included, counts";
}

TEST_F(HashJob, OverlongFailureLineIsCutToAnEntry) {
    std::string missing = m_tree.Root() + "\\" + std::string(500 - m_tree.Root().size(), 'q');
    SetEntries({missing});
    RunAndWait();
    std::string format = ModuleString(m_language, IDS_OPEN_FAILED);
    char expected[2048];
    wsprintfA(expected, format.c_str(), "MD5", missing.c_str());
    ASSERT_GT(strlen(expected), 519u);
    expected[519] = '\0';
    std::vector<std::string> lines = ListedEntries();
    ASSERT_EQ(lines.size(), 1u) << "the entry must not be lost";
    EXPECT_EQ(lines[0], expected);
}

TEST_F(HashJob, ListsOfSeveralBatchesComeOutWholeAndInOrder) {
    // The job reads the list ahead and hands its lines over in batches; 150
    // entries span three of them, with empty entries and missing files among
    // the files so that every kind of entry meets a batch boundary.
    std::string format = ModuleString(m_language, IDS_OPEN_FAILED);
    ASSERT_FALSE(format.empty());
    std::vector<std::string> entries;
    std::vector<std::string> expected;
    for (int i = 0; i < 150; ++i) {
        std::string path = m_tree.Root() + "\\b" + std::to_string(i) + ".bin";
        if (i % 10 == 3) {
            entries.push_back("");
            expected.push_back("");
        } else if (i % 10 == 7 || i == 63 || i == 64) {
            char line[2048];
            wsprintfA(line, format.c_str(), "MD5", path.c_str());
            entries.push_back(path);
            expected.push_back(line);
        } else {
            std::vector<BYTE> bytes = RandomBytes(static_cast<size_t>(i) * 37, static_cast<unsigned>(i));
            ASSERT_TRUE(WriteBytes(path, bytes));
            entries.push_back(path);
            expected.push_back(ResultLine(DigestMD5, bytes, path));
        }
    }
    SetEntries(entries);
    RunAndWait();
    EXPECT_EQ(ListedEntries(), expected);
}

TEST_F(HashJob, ResultLinesStayUnchangedWhenRunAgain) {
    std::vector<std::string> paths;
    for (int i = 0; i < 3; ++i) {
        paths.push_back(m_tree.Root() + "\\r" + std::to_string(i) + ".bin");
        ASSERT_TRUE(WriteBytes(paths.back(), RandomBytes(100 * i + 5, static_cast<unsigned>(i))));
    }
    SetEntries(paths);
    RunAndWait();
    std::vector<std::string> first = ListedEntries();
    ASSERT_EQ(first.size(), 3u);
    for (size_t i = 0; i < first.size(); ++i) {
        ASSERT_NE(first[i].find(" <- MD5 -> " + paths[i]), std::string::npos) << first[i];
    }
    SelectAlgorithm(3);
    RunAndWait();
    EXPECT_EQ(ListedEntries(), first);
}

TEST_F(HashJob, TaskbarFollowsTheRunAndEndsWithoutProgress) {
    const int count = 4;
    std::vector<std::string> paths;
    for (int i = 0; i < count; ++i) {
        paths.push_back(m_tree.Root() + "\\t" + std::to_string(i) + ".bin");
        ASSERT_TRUE(WriteBytes(paths.back(), RandomBytes(4096, static_cast<unsigned>(i))));
    }
    SetEntries(paths);
    if (!UseFakeTaskbar()) {
        GTEST_SKIP() << "no taskbar progress on this system";
    }
    RunAndWait();
    std::vector<TaskbarCallRecord> calls = FakeTaskbarCalls();

    ASSERT_GE(calls.size(), 5u); // HrInit, NORMAL, (0, count), (count, count), NOPROGRESS
    EXPECT_EQ(calls[0].call, TaskbarCall::HrInit);
    EXPECT_EQ(calls[1].call, TaskbarCall::SetProgressState);
    EXPECT_EQ(calls[1].first, static_cast<ULONGLONG>(TBPF_NORMAL));
    EXPECT_EQ(calls[2].call, TaskbarCall::SetProgressValue);
    EXPECT_EQ(calls[2].first, 0u);
    ULONGLONG last = 0;
    for (size_t i = 2; i + 1 < calls.size(); ++i) {
        SCOPED_TRACE("call " + std::to_string(i));
        EXPECT_EQ(calls[i].call, TaskbarCall::SetProgressValue);
        EXPECT_EQ(calls[i].second, static_cast<ULONGLONG>(count));
        EXPECT_GE(calls[i].first, last);
        last = calls[i].first;
    }
    EXPECT_EQ(calls[calls.size() - 2].first, static_cast<ULONGLONG>(count));
    EXPECT_EQ(calls.back().call, TaskbarCall::SetProgressState);
    EXPECT_EQ(calls.back().first, static_cast<ULONGLONG>(TBPF_NOPROGRESS));
    for (size_t i = 1; i < calls.size(); ++i) {
        EXPECT_EQ(calls[i].window, m_window);
    }
}

// MD2 is the slow engine: a few mebibytes take long enough for many report
// intervals, while the job reads some thousand blocks. However slow the
// machine, the job sends at most one display report per interval.
TEST_F(HashJob, DisplayReportsAreCoalescedAndTheFinalStateIsComplete) {
    const ULONGLONG reportInterval = 33; // milliseconds, the job's
    const ULONGLONG slack = 4;           // first file shown at once, forced final state
    std::vector<BYTE> content = RandomBytes(8 * 1024 * 1024, 77);
    std::string path = m_tree.Root() + "\\large.bin";
    ASSERT_TRUE(WriteBytes(path, content));
    SetEntries({path});
    SelectAlgorithm(0);
    if (!UseFakeTaskbar()) {
        GTEST_SKIP() << "no taskbar progress on this system";
    }
    BarReports bars;
    ULONGLONG elapsed = 0;
    {
        SentMessageHook hook(*m_session, RecordBars(bars));
        ASSERT_TRUE(hook.Installed());
        ULONGLONG begin = GetTickCount64();
        RunAndWait();
        elapsed = GetTickCount64() - begin;
    }
    std::vector<TaskbarCallRecord> calls = FakeTaskbarCalls();
    std::vector<std::string> lines = ListedEntries();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], ResultLine(DigestMD2, content, path));

    ULONGLONG bound = elapsed / reportInterval + slack;
    int values = 0;
    for (const TaskbarCallRecord& call : calls) {
        values += call.call == TaskbarCall::SetProgressValue ? 1 : 0;
    }
    SCOPED_TRACE("run of " + std::to_string(elapsed) + " ms");
    EXPECT_LE(static_cast<ULONGLONG>(bars.filePositions), bound);
    EXPECT_LE(static_cast<ULONGLONG>(bars.totalPositions), bound);
    EXPECT_LE(static_cast<ULONGLONG>(values), bound);
    // The end is shown as it is, whatever the interval held back.
    EXPECT_GT(bars.lastFileRange, 0);
    EXPECT_EQ(static_cast<LPARAM>(bars.lastFilePosition), bars.lastFileRange) << "the file bar is not full";
    EXPECT_EQ(bars.lastTotalPosition, 1u);
    ASSERT_GE(calls.size(), 2u);
    const TaskbarCallRecord& last = calls.back();
    const TaskbarCallRecord& beforeLast = calls[calls.size() - 2];
    EXPECT_EQ(last.call, TaskbarCall::SetProgressState);
    EXPECT_EQ(last.first, static_cast<ULONGLONG>(TBPF_NOPROGRESS));
    EXPECT_EQ(beforeLast.call, TaskbarCall::SetProgressValue);
    EXPECT_EQ(beforeLast.first, 1u);
    EXPECT_EQ(beforeLast.second, 1u);
}

} // namespace
