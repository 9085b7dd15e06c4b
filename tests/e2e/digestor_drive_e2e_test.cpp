// digestor_drive against the real program: it reports the exit code, and its screenshot is a
// valid PNG of the main window's size that shows more than one flat colour.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "tests/e2e/command_line.h"
#include "tests/e2e/png_reader.h"
#include "tests/e2e/process_harness.h"
#include "tests/e2e/running_digestor.h"

namespace {

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

TEST(DigestorDriveE2e, UsageErrorWithoutProgram) {
    DWORD code = 0;
    std::string output;
    ASSERT_TRUE(RunToEnd(BuildCommandLine(JoinPath(BinDirectory(), "digestor_drive.exe"), {"--close"}),
                         kStartTimeoutMs, code, output));
    EXPECT_EQ(code, 2u);
}

} // namespace
