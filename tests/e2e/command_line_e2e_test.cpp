// The real program started with arguments: files listed, a folder walked after the user says Yes,
// nothing listed after No, a missing path skipped; and whatever became of them, a run starts at
// once and turns every entry into its result line.  Expected digests are published test vectors.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/e2e/poll.h"
#include "tests/e2e/process_harness.h"
#include "tests/e2e/process_windows.h"
#include "tests/e2e/run_checks.h"
#include "tests/e2e/running_digestor.h"

namespace {

// RFC 1321, A.5: MD5 of "" and of "abc".
const char* const kMd5OfEmpty = "d41d8cd98f00b204e9800998ecf8427e";
const char* const kMd5OfAbc = "900150983cd24fb0d6963f7d28e17f72";

// The folder question as the program words it: string 5202 of the language module it loads (the
// German one on a German system, the English one otherwise) with folder in place of its "%s".
// Empty when the module or the string cannot be had.
std::string FolderQuestion(const std::string& folder) {
    const char* name = PRIMARYLANGID(GetSystemDefaultLangID()) == LANG_GERMAN ? "1031.dll" : "1033.dll";
    std::string path = JoinPath(JoinPath(BinDirectory(), "lang"), name);
    HMODULE module = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module)
        return std::string();
    char format[1024] = {};
    LoadStringA(module, IDS_ASK_FOLDER, format, sizeof(format));
    FreeLibrary(module);
    std::string question = format;
    size_t placeholder = question.find("%s");
    if (placeholder == std::string::npos)
        return std::string();
    return question.replace(placeholder, 2, folder);
}

class CommandLineE2e : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(temp_.Path().empty()) << "no temporary folder"; }

    void TearDown() override {
        digestor_.Kill();
        if (watcher_) {
            EXPECT_EQ(watcher_->SeenAsText(), "") << "unexpected message boxes";
        }
    }

    std::string InTemp(const std::string& name) const { return JoinPath(temp_.Path(), name); }

    // Starts the program on arguments that ask no question; returns its main window.
    HWND StartQuietly(const std::vector<std::string>& arguments) {
        EXPECT_TRUE(digestor_.Start(DigestorPath(), arguments));
        watcher_.reset(new MessageBoxWatcher(digestor_.Id()));
        return digestor_.WaitForMainWindow();
    }

    // Starts the program on folder, answers its question with button and returns the main
    // window; question gets the question's text.
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

    TempFolder temp_;
    DigestorProcess digestor_;
    std::unique_ptr<MessageBoxWatcher> watcher_;
};

TEST_F(CommandLineE2e, FileArgumentIsDigestedWithoutAskingOrPressingStart) {
    const std::string file = InTemp("one.txt");
    ASSERT_TRUE(WriteTestFile(file, "abc"));
    HWND window = StartQuietly({file});
    ASSERT_NE(window, nullptr) << digestor_.Describe();
    ASSERT_TRUE(WaitForRunEnd(digestor_.Id(), window)) << "the run did not end: " << digestor_.Describe();
    EXPECT_EQ(ListEntries(window), std::vector<std::string>{ResultLine(kMd5OfAbc, "MD5", file)});
    ExpectCompletedRun(digestor_, window);
}

TEST_F(CommandLineE2e, MissingPathIsSkippedAndTheRunStillStarts) {
    const std::string file = InTemp("present.txt");
    ASSERT_TRUE(WriteTestFile(file, ""));
    HWND window = StartQuietly({InTemp("missing.txt"), file});
    ASSERT_NE(window, nullptr) << digestor_.Describe();
    ASSERT_TRUE(WaitForRunEnd(digestor_.Id(), window)) << "the run did not end: " << digestor_.Describe();
    EXPECT_EQ(ListEntries(window), std::vector<std::string>{ResultLine(kMd5OfEmpty, "MD5", file)});
    ExpectCompletedRun(digestor_, window);
}

TEST_F(CommandLineE2e, FolderAnsweredYesIsWalkedAndDigested) {
    const std::string folder = InTemp("D");
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(JoinPath(folder, "sub").c_str(), nullptr));
    const std::string a = JoinPath(folder, "a.txt");
    const std::string b = JoinPath(folder, "sub\\b.txt");
    ASSERT_TRUE(WriteTestFile(a, ""));
    ASSERT_TRUE(WriteTestFile(b, "abc"));
    const std::string expectedQuestion = FolderQuestion(folder);
    ASSERT_NE(expectedQuestion, "") << "no string " << IDS_ASK_FOLDER << " in the language module";

    std::string question;
    HWND window = StartAndAnswer(folder, IDYES, question);
    ASSERT_NE(window, nullptr) << digestor_.Describe();
    EXPECT_EQ(question, expectedQuestion);
    ASSERT_TRUE(WaitForRunEnd(digestor_.Id(), window)) << "the run did not end: " << digestor_.Describe();
    EXPECT_EQ(ListEntries(window),
              (std::vector<std::string>{ResultLine(kMd5OfEmpty, "MD5", a), ResultLine(kMd5OfAbc, "MD5", b)}));
    ExpectCompletedRun(digestor_, window);
}

TEST_F(CommandLineE2e, FolderAnsweredNoListsNothingAndTheRunEndsAtOnce) {
    ASSERT_TRUE(WriteTestFile(InTemp("a.txt"), ""));
    const std::string expectedQuestion = FolderQuestion(temp_.Path());
    ASSERT_NE(expectedQuestion, "") << "no string " << IDS_ASK_FOLDER << " in the language module";

    std::string question;
    HWND window = StartAndAnswer(temp_.Path(), IDNO, question);
    ASSERT_NE(window, nullptr) << digestor_.Describe();
    EXPECT_EQ(question, expectedQuestion);
    ASSERT_TRUE(WaitForRunEnd(digestor_.Id(), window)) << "the run did not end: " << digestor_.Describe();
    EXPECT_EQ(ListEntries(window), std::vector<std::string>{});
    // Only a run that has ended offers save and clear: the run over the empty list did happen.
    ExpectCompletedRun(digestor_, window);
}

using NoArgumentE2e = RunningDigestor;

TEST_F(NoArgumentE2e, EmptyListAndStartDisabled) {
    EXPECT_EQ(SendPlainMessage(Control(IDC_FILE_LIST), LB_GETCOUNT, 0, 0), 0);
    EXPECT_FALSE(IsWindowEnabled(Control(IDC_START)));
    EXPECT_EQ(FindProgressDialog(digestor_.Id()), nullptr) << "a run started without arguments";
}

} // namespace
