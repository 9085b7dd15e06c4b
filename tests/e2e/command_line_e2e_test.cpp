// The real program started with arguments: files listed, a folder walked
// after the user says Yes, nothing listed after No.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/e2e/poll.h"
#include "tests/e2e/process_harness.h"
#include "tests/e2e/process_windows.h"
#include "tests/e2e/running_digestor.h"

namespace {

bool MakeFile(const std::string& path) {
    HANDLE file =
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    return true;
}

// The main window's entries. A run started by the arguments may already have
// turned an entry into its result line, which ends in " -> " and the path.
std::vector<std::string> ListedPaths(HWND window) {
    HWND list = GetDlgItem(window, IDC_FILE_LIST);
    std::vector<std::string> paths;
    LRESULT count = SendPlainMessage(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        std::string entry = ListItemText(list, static_cast<int>(i));
        size_t arrow = entry.rfind(" -> ");
        paths.push_back(arrow == std::string::npos ? entry : entry.substr(arrow + 4));
    }
    return paths;
}

class CommandLineE2e : public ::testing::Test {
protected:
    // Starts the program on folder, answers its question with button and
    // returns the main window; question gets the question's text.
    HWND StartAndAnswer(const std::string& folder, int button, std::string& question) {
        EXPECT_TRUE(digestor_.Start(DigestorPath(), {folder}));
        HWND box = nullptr;
        PollUntil([&] { return (box = FindMessageBox(digestor_.Id())) != nullptr; }, kStartTimeoutMs);
        if (!box) {
            ADD_FAILURE() << "no question: " << digestor_.Describe();
            return nullptr;
        }
        question = ReadMessageBox(box).text;
        EXPECT_TRUE(PressMessageBoxButton(box, button));
        // Only then may the watcher look, or it would take the question for an unexpected box.
        EXPECT_TRUE(PollUntil([&] { return !IsWindow(box); }, kExitTimeoutMs)) << "the question stays";
        watcher_.reset(new MessageBoxWatcher(digestor_.Id()));
        return digestor_.WaitForMainWindow();
    }

    void TearDown() override {
        digestor_.Kill();
        if (watcher_) {
            EXPECT_EQ(watcher_->SeenAsText(), "") << "unexpected message boxes";
        }
    }

    TempFolder temp_;
    DigestorProcess digestor_;
    std::unique_ptr<MessageBoxWatcher> watcher_;
};

TEST_F(CommandLineE2e, FileArgumentIsListedWithoutAQuestion) {
    std::string file = JoinPath(temp_.Path(), "one.txt");
    ASSERT_TRUE(MakeFile(file));
    ASSERT_TRUE(digestor_.Start(DigestorPath(), {file, JoinPath(temp_.Path(), "missing.txt")}));
    watcher_.reset(new MessageBoxWatcher(digestor_.Id()));
    HWND window = digestor_.WaitForMainWindow();
    ASSERT_NE(window, nullptr) << digestor_.Describe();
    EXPECT_EQ(ListedPaths(window), std::vector<std::string>{file});
}

TEST_F(CommandLineE2e, FolderAnsweredYesListsEverythingBelowIt) {
    std::string sub = JoinPath(temp_.Path(), "sub");
    ASSERT_TRUE(CreateDirectoryA(sub.c_str(), nullptr));
    std::vector<std::string> files = {JoinPath(temp_.Path(), "a.txt"), JoinPath(sub, "b.txt")};
    for (const std::string& file : files)
        ASSERT_TRUE(MakeFile(file));

    std::string question;
    HWND window = StartAndAnswer(temp_.Path(), IDYES, question);
    ASSERT_NE(window, nullptr) << digestor_.Describe();
    EXPECT_NE(question.find(temp_.Path()), std::string::npos) << question;
    std::vector<std::string> listed = ListedPaths(window);
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(listed, files);
}

TEST_F(CommandLineE2e, FolderAnsweredNoListsNothing) {
    ASSERT_TRUE(MakeFile(JoinPath(temp_.Path(), "a.txt")));
    std::string question;
    HWND window = StartAndAnswer(temp_.Path(), IDNO, question);
    ASSERT_NE(window, nullptr) << digestor_.Describe();
    EXPECT_NE(question.find(temp_.Path()), std::string::npos) << question;
    EXPECT_EQ(SendPlainMessage(GetDlgItem(window, IDC_FILE_LIST), LB_GETCOUNT, 0, 0), 0);
}

using NoArgumentE2e = RunningDigestor;

TEST_F(NoArgumentE2e, EmptyListAndStartDisabled) {
    EXPECT_EQ(SendPlainMessage(Control(IDC_FILE_LIST), LB_GETCOUNT, 0, 0), 0);
    EXPECT_FALSE(IsWindowEnabled(Control(IDC_START)));
}

} // namespace
