// ScanFolder on real folder trees, listing into the running main window.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/app_state.h"
#include "base/gui_listbox.h"
#include "gather/folder_scan.h"
#include "main_window_test.h"
#include "temp_tree.h"

namespace {

using FolderScanTest = MainWindowTest;

TEST_F(FolderScanTest, ListsFilesDepthFirstInTheOrderTheyAreMet) {
    TempTree tree;
    std::string d = tree.Folder("D");
    tree.File("D\\a.txt");
    tree.Folder("D\\sub");
    tree.File("D\\sub\\b.txt");
    tree.File("D\\z.txt");
    // The oracle fixes the order the file system delivers; the set is known.
    std::vector<std::string> expected = WalkOrder(d);
    std::vector<std::string> sorted = expected;
    std::sort(sorted.begin(), sorted.end());
    ASSERT_EQ(sorted, (std::vector<std::string>{d + "\\a.txt", d + "\\sub\\b.txt", d + "\\z.txt"}));

    ScanFolder(d.c_str());

    EXPECT_EQ(ListedEntries(), expected);
}

TEST_F(FolderScanTest, DotNamesAndHiddenFilesAreListedButNotTheFolderLinks) {
    TempTree tree;
    std::string d = tree.Folder("D");
    std::string dotFile = tree.File("D\\.profile");
    std::string hidden = tree.File("D\\secret.txt", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    tree.Folder("D\\.cache");
    std::string inDotFolder = tree.File("D\\.cache\\c.bin");

    ScanFolder(d.c_str());

    std::vector<std::string> entries = ListedEntries();
    EXPECT_EQ(entries, WalkOrder(d));
    ASSERT_EQ(entries.size(), 3u);
    for (const std::string& path : {dotFile, hidden, inDotFolder}) {
        EXPECT_EQ(std::count(entries.begin(), entries.end(), path), 1) << path;
    }
}

TEST_F(FolderScanTest, EmptyOrMissingFolderAddsNothingAndShowsNothing) {
    TempTree tree;
    std::string empty = tree.Folder("empty");
    ScanFolder(empty.c_str());
    ScanFolder((tree.Root() + "\\missing").c_str());
    EXPECT_EQ(FileList->EntryCount(), 0);
    // TearDown fails the test on any message box.
}

TEST_F(FolderScanTest, PathOfAFileAddsNothing) {
    TempTree tree;
    std::string file = tree.File("plain.txt");
    ScanFolder(file.c_str());
    EXPECT_EQ(FileList->EntryCount(), 0);
}

TEST_F(FolderScanTest, EntriesWhosePathWouldPass519CharactersAreSkipped) {
    TempTree tree;
    std::string d = tree.Folder("deep");
    std::string deepest = tree.DeepChain(d, std::string(40, 'x'), 600);
    ASSERT_GE(deepest.size(), 520u);
    std::wstring longForm = L"\\\\?\\" + std::wstring(deepest.begin(), deepest.end());
    ASSERT_NE(GetFileAttributesW(longForm.c_str()), INVALID_FILE_ATTRIBUTES) << "the deep tree was not made";

    ScanFolder(d.c_str());

    // Whatever the ANSI search reaches below 520 characters is listed, whole,
    // and each entry names an existing file: nothing longer, no cut path.
    std::vector<std::string> expected;
    for (const std::string& path : WalkOrder(d)) {
        if (path.size() < 520) {
            expected.push_back(path);
        }
    }
    std::vector<std::string> entries = ListedEntries();
    EXPECT_FALSE(entries.empty());
    EXPECT_EQ(entries, expected);
    for (const std::string& entry : entries) {
        std::wstring wide = L"\\\\?\\" + std::wstring(entry.begin(), entry.end());
        DWORD attributes = GetFileAttributesW(wide.c_str());
        EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY))
            << entry;
    }
}

} // namespace
