// digestor_drive against the real program: it reports the exit code, and its screenshot is a
// valid PNG of the main window's size that shows more than one flat colour.  Given a folder, it
// answers the program's question with Yes, waits for the run and prints the digested list.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "tests/e2e/command_line.h"
#include "tests/e2e/png_reader.h"
#include "tests/e2e/process_harness.h"
#include "tests/e2e/running_digestor.h"

namespace {

// The output line that starts with prefix (after any leading blanks), without its line end;
// empty when there is none.
std::string LineStartingWith(const std::string& output, const std::string& prefix) {
    size_t start = 0;
    while (start < output.size()) {
        size_t end = output.find('\n', start);
        if (end == std::string::npos)
            end = output.size();
        std::string line = output.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        size_t first = line.find_first_not_of(' ');
        if (first != std::string::npos && line.compare(first, prefix.size(), prefix) == 0)
            return line.substr(first);
        start = end + 1;
    }
    return std::string();
}

// Number of distinct colours in a band of rows.
size_t ColoursInRows(const PngPicture& picture, int firstRow, int endRow) {
    std::set<uint32_t> colours;
    for (int y = firstRow; y < endRow && y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const uint8_t* p = &picture.rgb[(static_cast<size_t>(y) * picture.width + x) * 3];
            colours.insert((uint32_t(p[0]) << 16) | (uint32_t(p[1]) << 8) | p[2]);
        }
    }
    return colours.size();
}

TEST(DigestorDriveE2e, ScreenshotShowsTheMainWindowAndTheExitCodeIsReported) {
    // The size of the main window, measured on a run of its own.
    int width = 0, height = 0, captionHeight = 0;
    {
        DigestorProcess digestor;
        ASSERT_TRUE(digestor.Start(DigestorPath()));
        HWND window = digestor.WaitForMainWindow();
        ASSERT_NE(window, nullptr) << digestor.Describe();
        RECT frame, client;
        ASSERT_TRUE(GetWindowRect(window, &frame) && GetClientRect(window, &client));
        POINT clientTop = {0, 0};
        ClientToScreen(window, &clientTop);
        width = frame.right - frame.left;
        height = frame.bottom - frame.top;
        captionHeight = clientTop.y - frame.top; // caption, frame and menu bar
    }

    TempFolder folder;
    ASSERT_FALSE(folder.Path().empty());
    const std::string shot = JoinPath(folder.Path(), "main window.png");
    std::string commandLine = BuildCommandLine(JoinPath(BinDirectory(), "digestor_drive.exe"),
                                               {"--screenshot", shot, "--close", "--", DigestorPath()});
    DWORD code = 0;
    std::string output;
    ASSERT_TRUE(RunToEnd(commandLine, 3 * kStartTimeoutMs, code, output)) << output;
    EXPECT_EQ(code, 1u) << output;
    EXPECT_NE(output.find("Digestor exited with code 1"), std::string::npos) << output;

    PngPicture picture;
    std::string error;
    ASSERT_TRUE(ReadStoredPng(ReadWholeFile(shot), picture, error)) << error;
    EXPECT_EQ(picture.width, width);
    EXPECT_EQ(picture.height, height);
    // A caption with its text and buttons, and a body with controls: never one flat colour.
    EXPECT_GT(ColoursInRows(picture, 0, captionHeight), 1u);
    EXPECT_GT(ColoursInRows(picture, captionHeight, picture.height), 2u);
}

TEST(DigestorDriveE2e, AnswersTheFolderQuestionWaitsForTheRunAndPrintsTheList) {
    TempFolder folder, shots;
    ASSERT_FALSE(folder.Path().empty());
    ASSERT_FALSE(shots.Path().empty());
    ASSERT_TRUE(WriteTestFile(JoinPath(folder.Path(), "a.txt"), ""));
    ASSERT_TRUE(CreateDirectoryA(JoinPath(folder.Path(), "sub").c_str(), nullptr));
    ASSERT_TRUE(WriteTestFile(JoinPath(folder.Path(), "sub\\b.txt"), "abc"));

    std::string commandLine = BuildCommandLine(
        JoinPath(BinDirectory(), "digestor_drive.exe"),
        {"--screenshot", JoinPath(shots.Path(), "run.png"), "--close", "--", DigestorPath(), folder.Path()});
    DWORD code = 0;
    std::string output;
    ASSERT_TRUE(RunToEnd(commandLine, 3 * kStartTimeoutMs, code, output)) << output;
    EXPECT_EQ(code, 1u) << output;

    std::string question = LineStartingWith(output, "question: ");
    EXPECT_NE(question.find(folder.Path()), std::string::npos) << output;
    EXPECT_NE(question.find(" -> Yes"), std::string::npos) << output;
    // MD5 of the empty file and of "abc" (RFC 1321), each on a line of its own.
    EXPECT_EQ(LineStartingWith(output, "d41d8cd98f00b204e9800998ecf8427e"),
              "d41d8cd98f00b204e9800998ecf8427e <- MD5 -> " + JoinPath(folder.Path(), "a.txt"))
        << output;
    EXPECT_EQ(LineStartingWith(output, "900150983cd24fb0d6963f7d28e17f72"),
              "900150983cd24fb0d6963f7d28e17f72 <- MD5 -> " + JoinPath(folder.Path(), "sub\\b.txt"))
        << output;
    EXPECT_NE(output.find("Digestor exited with code 1"), std::string::npos) << output;
}

TEST(DigestorDriveE2e, UsageErrorWithoutProgram) {
    DWORD code = 0;
    std::string output;
    ASSERT_TRUE(RunToEnd(BuildCommandLine(JoinPath(BinDirectory(), "digestor_drive.exe"), {"--close"}),
                         kStartTimeoutMs, code, output));
    EXPECT_EQ(code, 2u);
}

} // namespace
