// Files and folders taken in from the command line and from drops, and the
// walk of the folders.
#include <algorithm>

#include "app/main_dialog.h"
#include "base/app_state.h"
#include "base/private_messages.h"
#include "res/resource.h"
#include "run/entry_batches.h"
#include "run/progress_dialog.h"
#include "tests/win/fixture.h"

// Run in bin\ as `win_tests VarnoLib64.dll missing.txt lang lang/1033.dll`, once
// in English answering Yes, once in German answering No (CMakeLists.txt).
class CommandLine : public WinTest {};

TEST_F(CommandLine, FilesAreListedAFolderIsWalkedOnYesAndARunStarts) {
    m_allowedBoxes.insert(Text(IDS_ASK_FOLDER, "lang"));
    ASSERT_TRUE(WaitIdle());
    std::vector<std::string> expected = {"VarnoLib64.dll", "lang\\1031.dll", "lang\\1033.dll",
                                         "lang/1033.dll"};
    if (m_answer == IDNO)
        expected.erase(expected.begin() + 1, expected.begin() + 3);
    for (std::string& file : expected)
        file = ResultLine(DigestMD5, file);
    EXPECT_EQ(Entries(), expected);
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].text, Text(IDS_ASK_FOLDER, "lang"));
    EXPECT_EQ(Boxes()[0].caption, "Digestor");
    EXPECT_EQ(Boxes()[0].owner, m_window);
    EXPECT_EQ(Boxes()[0].flags, static_cast<UINT>(MB_ICONQUESTION | MB_YESNO));
}

class Intake : public WinTest {};

TEST_F(Intake, DropListsFilesAtOnceThenFoldersDepthFirstInDropOrder) {
    // Walk order: depth first, each folder in name order as Wine lists it.
    const std::vector<std::string> walked = {File("second\\c.txt"), File("first\\a.txt"),
                                             File("first\\sub\\b.txt"), File("first\\z.txt")};
    std::string one = File("one.txt"), two = File("two.txt");
    std::vector<std::string> atOnce;
    OnWindowThread([&] {
        Drop({Path("second"), one, Path("gone.txt"), Path("first"), two});
        atOnce = Entries();
    });
    EXPECT_EQ(atOnce, (std::vector<std::string>{one, two}));
    ASSERT_TRUE(WaitIdle());
    atOnce.insert(atOnce.end(), walked.begin(), walked.end());
    EXPECT_EQ(Entries(), atOnce);
    // The idle look is back.
    EXPECT_TRUE(IsWindowEnabled(Item(IDC_FILE_LIST)) && IsWindowEnabled(Item(IDC_START)));
    EXPECT_TRUE(IsWindowVisible(Item(IDC_SELECTED_PATH)) && !IsWindowVisible(Item(IDC_MAIN_PROGRESS)));
    ExpectTexts(m_window, 0, {{IDC_START, IDS_START}});
}

TEST_F(Intake, StartsAndDropsWaitUntilTheWorkerHasEnded) {
    std::vector<std::string> folders, files;
    for (int i = 0; i < 30; ++i) {
        files.push_back(File("f" + std::to_string(i) + "\\x.txt"));
        folders.push_back(Path("f" + std::to_string(i)));
    }
    std::string late = File("late.txt");
    bool opened = true;
    OnWindowThread([&] {
        Drop(folders);
        CloseHandle(Start());
        opened = ProgressWindow != NULL;
        Drop({late});
    });
    EXPECT_FALSE(opened) << "a run started during the walk";
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(Entries(), files);
    OnWindowThread([&] {
        CloseHandle(Start());
        Drop({late});
    });
    ASSERT_TRUE(WaitIdle());
    for (std::string& file : files)
        file = ResultLine(DigestMD5, file);
    EXPECT_EQ(Entries(), files);
}

TEST_F(Intake, LinkToAnOwnParentIsNotEnteredOtherLinksAreFollowed) {
    char top[MAX_PATH] = "";
    GetFullPathNameA("links\\top", MAX_PATH, top, NULL);
    if (GetFileAttributesA(top) == INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "no link tree: the test win_link_tree makes it";
    std::string root = top;
    Drop({root});
    ASSERT_TRUE(WaitIdle());
    std::vector<std::string> entries = Entries();
    std::sort(entries.begin(), entries.end());
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries, (std::vector<std::string>{root + "\\a\\f1", root + "\\a\\side\\s1", root + "\\t1"}));
}

// TRUE keeps the dialog manager from taking them for DM_SETDEFID or DM_REPOSITION.
TEST_F(Intake, PrivateMessagesAreReportedAsHandled) {
    EntryBatch reads = {};
    LineBatch lines = {};
    OnWindowThread([&] {
        HWND standIn = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, NULL, NULL, NULL);
        EXPECT_TRUE(MainDialogProc(m_window, MSG_SCAN_DONE, 0, 0));
        EXPECT_TRUE(MainDialogProc(m_window, MSG_READ_ENTRIES, 0, reinterpret_cast<LPARAM>(&reads)));
        EXPECT_TRUE(MainDialogProc(m_window, MSG_REPLACE_ENTRIES, 0, reinterpret_cast<LPARAM>(&lines)));
        EXPECT_TRUE(ProgressDialogProc(standIn, MSG_HASH_DONE, 0, 0));
        DestroyWindow(standIn);
    });
}
