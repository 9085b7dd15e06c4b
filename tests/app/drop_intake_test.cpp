// Drops onto the running main window: files listed at once, folders walked by
// the expansion worker, the window given back in its idle state.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/app_state.h"
#include "base/gui_listbox.h"
#include "main_window_test.h"
#include "res/resource.h"
#include "shell_drop.h"
#include "temp_tree.h"

namespace {

class DropIntakeTest : public MainWindowTest {
protected:
    void Drop(const std::vector<std::string>& paths) { DropOnto(m_window, paths); }
};

TEST_F(DropIntakeTest, FilesAtOnceThenFoldersInDropOrder) {
    TempTree tree;
    std::string first = tree.Folder("first");
    tree.File("first\\a.txt");
    tree.Folder("first\\sub");
    tree.File("first\\sub\\b.txt");
    std::string empty = tree.Folder("empty");
    std::string second = tree.Folder("second");
    tree.File("second\\c.txt");
    std::string one = tree.File("one.txt");
    std::string two = tree.File("two.txt");
    std::string gone = tree.Root() + "\\gone.txt";

    Drop({second, one, gone, empty, first, two});

    // The worker lists only through the window thread, which has just
    // returned from the drop: the files are there first.
    std::vector<std::string> atOnce = ListedEntries();
    ASSERT_GE(atOnce.size(), 2u);
    EXPECT_EQ(atOnce[0], one);
    EXPECT_EQ(atOnce[1], two);

    ASSERT_TRUE(WaitForExpansionEnd(*m_session)) << "the worker did not finish";
    std::vector<std::string> expected = {one, two};
    for (const std::string& folder : {second, empty, first}) {
        for (const std::string& file : WalkOrder(folder)) {
            expected.push_back(file);
        }
    }
    EXPECT_EQ(expected.size(), 5u);
    EXPECT_EQ(ListedEntries(), expected);
    ExpectIdleLook();
}

TEST_F(DropIntakeTest, DropOfFilesOnlyStillEnablesStart) {
    TempTree tree;
    std::string file = tree.File("only.txt");
    ASSERT_FALSE(IsWindowEnabled(m_session->Control(IDC_START)));

    Drop({file});

    ASSERT_TRUE(WaitForExpansionEnd(*m_session)) << "the worker did not finish";
    EXPECT_EQ(ListedEntries(), std::vector<std::string>{file});
    ExpectIdleLook();
}

TEST_F(DropIntakeTest, DropWhileAWorkerRunsOrARunIsOpenIsRefused) {
    TempTree tree;
    std::string file = tree.File("late.txt");
    HANDLE standIn = CreateEventA(NULL, TRUE, FALSE, NULL);

    m_session->OnWindowThread([&] { ExpandThread = standIn; });
    Drop({file});
    m_session->OnWindowThread([&] {
        EXPECT_EQ(ExpandThread, standIn);
        ExpandThread = NULL;
        ProgressWindow = m_window;
    });
    Drop({file});
    m_session->OnWindowThread([&] {
        EXPECT_EQ(ExpandThread, nullptr);
        ProgressWindow = NULL;
    });
    CloseHandle(standIn);

    EXPECT_EQ(FileList->EntryCount(), 0);
    EXPECT_FALSE(IsWindowEnabled(m_session->Control(IDC_START)));
}

TEST_F(DropIntakeTest, ThousandAndHundredFoldersAreAllWalked) {
    TempTree tree;
    std::vector<std::string> folders;
    std::vector<std::string> expected;
    for (int i = 0; i < 1100; ++i) {
        std::string name = "f" + std::to_string(i);
        folders.push_back(tree.Folder(name));
        expected.push_back(tree.File(name + "\\x.txt"));
    }

    Drop(folders);

    ASSERT_TRUE(WaitForExpansionEnd(*m_session, 120000)) << "the worker did not finish";
    EXPECT_EQ(ListedEntries(), expected);
    ExpectIdleLook();
}

} // namespace
