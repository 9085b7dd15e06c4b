// The real program doing its main job: files and folders dropped on it are listed (folders walked
// by its worker), the start button runs the chosen algorithm over the list, and every entry
// becomes its result line.  Expected digests are published test vectors.
#include <gtest/gtest.h>

#include <stdint.h>

#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/e2e/poll.h"
#include "tests/e2e/process_harness.h"
#include "tests/e2e/process_windows.h"
#include "tests/e2e/remote_drop.h"
#include "tests/e2e/run_checks.h"
#include "tests/e2e/running_digestor.h"

namespace {

// RFC 1321, A.5: MD5 of "" and of "abc".
const char* const kMd5OfEmpty = "d41d8cd98f00b204e9800998ecf8427e";
const char* const kMd5OfAbc = "900150983cd24fb0d6963f7d28e17f72";

// The program's CRC32 runs the reflected polynomial 0xEDB88320 from a zero register and does not
// invert the result, so its check value differs from the common CRC-32's cbf43926.  Worked out
// here bit by bit, without the table the program uses.
constexpr uint32_t BitwiseCrc(const char* text) {
    uint32_t crc = 0;
    for (; *text; ++text) {
        crc ^= static_cast<uint8_t>(*text);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
    }
    return crc;
}
static_assert(BitwiseCrc("123456789") == 0x2dfd2d88u, "check value of the zero-register CRC-32");
const char* const kCrcOfCheckDigits = "2dfd2d88";

const DWORD kWalkTimeoutMs = 20000;

class DropAndRunE2e : public RunningDigestor {
protected:
    void SetUp() override {
        RunningDigestor::SetUp();
        if (HasFatalFailure())
            return;
        ASSERT_FALSE(temp_.Path().empty()) << "no temporary folder";
        startText_ = WindowText(Control(IDC_START));
        ASSERT_NE(startText_, "");
        ASSERT_FALSE(IsWindowEnabled(Control(IDC_START))) << "start is enabled before anything is listed";
    }

    std::string InTemp(const std::string& name) const { return JoinPath(temp_.Path(), name); }

    // The folder D of a dropped-folder run: an empty a.txt and sub\b.txt holding "abc".
    std::string MakeFolderD() {
        std::string folder = InTemp("D");
        EXPECT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
        EXPECT_TRUE(CreateDirectoryA(JoinPath(folder, "sub").c_str(), nullptr));
        EXPECT_TRUE(WriteTestFile(JoinPath(folder, "a.txt"), ""));
        EXPECT_TRUE(WriteTestFile(JoinPath(folder, "sub\\b.txt"), "abc"));
        return folder;
    }

    // Dropped on the list, the only control that accepts files, where the shell delivers a drop.
    void Drop(const std::vector<std::string>& paths) {
        std::string error;
        ASSERT_TRUE(DropFiles(digestor_.Handle(), digestor_.Id(), Control(IDC_FILE_LIST), paths, &error))
            << error;
    }

    // Waits until the drop has been taken in completely: count entries listed and the window idle
    // again, with the list enabled, the path field back in place of the marquee bar and the start
    // button enabled under its usual text.
    bool WaitForDropTaken(size_t count) {
        HWND list = Control(IDC_FILE_LIST);
        HWND start = Control(IDC_START);
        HWND marquee = Control(IDC_MAIN_PROGRESS);
        HWND path = Control(IDC_SELECTED_PATH);
        return PollUntil(
            [&] {
                return SendPlainMessage(list, LB_GETCOUNT, 0, 0) == static_cast<LRESULT>(count) &&
                       IsWindowEnabled(list) && IsWindowEnabled(start) && !IsWindowVisible(marquee) &&
                       IsWindowVisible(path) && WindowText(start) == startText_;
            },
            kWalkTimeoutMs);
    }

    // Clicks the start button as a user does and waits for the run to end.
    bool RunList() {
        SendPlainMessage(Control(IDC_START), BM_CLICK, 0, 0);
        return WaitForRunEnd(digestor_.Id(), window_);
    }

    std::string Describe() { return digestor_.Describe(); }

    TempFolder temp_;
    std::string startText_;
};

TEST_F(DropAndRunE2e, DroppedFolderIsWalkedThenDigestedWithMd5) {
    const std::string folder = MakeFolderD();
    const std::string a = JoinPath(folder, "a.txt");
    const std::string b = JoinPath(folder, "sub\\b.txt");

    Drop({folder});
    ASSERT_TRUE(WaitForDropTaken(2)) << Describe();
    EXPECT_EQ(ListEntries(window_), (std::vector<std::string>{a, b})) << "depth first, in walk order";

    ASSERT_EQ(ComboItemText(Control(IDC_ALGORITHM),
                            static_cast<int>(SendPlainMessage(Control(IDC_ALGORITHM), CB_GETCURSEL, 0, 0))),
              "MD5");
    ASSERT_TRUE(RunList()) << "the run did not end: " << Describe();
    EXPECT_EQ(ListEntries(window_),
              (std::vector<std::string>{ResultLine(kMd5OfEmpty, "MD5", a), ResultLine(kMd5OfAbc, "MD5", b)}));
    ExpectCompletedRun(digestor_, window_);
}

TEST_F(DropAndRunE2e, DroppedFilesAreListedBeforeTheDroppedFolderIsWalked) {
    const std::string folder = MakeFolderD();
    const std::string first = InTemp("first.txt");
    const std::string second = InTemp("second.txt");
    ASSERT_TRUE(WriteTestFile(first, "abc"));
    ASSERT_TRUE(WriteTestFile(second, ""));

    // The folder between the files: they are listed at once in drop order, its files after them.
    Drop({first, folder, second});
    ASSERT_TRUE(WaitForDropTaken(4)) << Describe();
    EXPECT_EQ(ListEntries(window_), (std::vector<std::string>{first, second, JoinPath(folder, "a.txt"),
                                                              JoinPath(folder, "sub\\b.txt")}));
}

TEST_F(DropAndRunE2e, RunUsesTheAlgorithmChosenInTheBox) {
    HWND algorithm = Control(IDC_ALGORITHM);
    ASSERT_EQ(ComboItemText(algorithm, 3), "CRC32");
    SendPlainMessage(algorithm, CB_SETCURSEL, 3, 0);
    ASSERT_EQ(SendPlainMessage(algorithm, CB_GETCURSEL, 0, 0), 3);

    const std::string file = InTemp("check.txt");
    ASSERT_TRUE(WriteTestFile(file, "123456789"));
    Drop({file});
    ASSERT_TRUE(WaitForDropTaken(1)) << Describe();
    EXPECT_EQ(ListEntries(window_), std::vector<std::string>{file});

    ASSERT_TRUE(RunList()) << "the run did not end: " << Describe();
    EXPECT_EQ(ListEntries(window_), std::vector<std::string>{ResultLine(kCrcOfCheckDigits, "CRC32", file)});
    ExpectCompletedRun(digestor_, window_);
}

} // namespace
