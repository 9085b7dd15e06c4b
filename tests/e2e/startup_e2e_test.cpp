// Starting and ending the real program: the exit code after each way of closing the main window,
// and the two start-ups that end before any window (language module missing, companion library
// refusing).
#include <gtest/gtest.h>

#include <set>

#include "res/resource.h"
#include "tests/e2e/poll.h"
#include "tests/e2e/process_harness.h"
#include "tests/e2e/process_windows.h"
#include "tests/e2e/running_digestor.h"

namespace {

// Digestor's main window is up; each test closes it one way and expects exit code 1.
class ClosingE2e : public RunningDigestor {
protected:
    // Waits for the program to end after a close request: exit code 1, nothing asked on the way.
    void ExpectEndsWithExitCode1() {
        DWORD code = 0;
        ASSERT_TRUE(digestor_.WaitForExit(kExitTimeoutMs, code)) << "still running: " << digestor_.Describe();
        EXPECT_EQ(code, 1u);
    }
};

// The screen point in the middle of the caption's close box, found by asking the window itself
// (WM_NCHITTEST) over the right end of its caption.
bool FindCloseBox(HWND window, POINT& centre) {
    RECT frame;
    if (!GetWindowRect(window, &frame))
        return false;
    LONG left = frame.right, right = frame.left, top = frame.bottom, bottom = frame.top;
    for (LONG y = frame.top; y < frame.top + 64 && y < frame.bottom; y += 2) {
        for (LONG x = frame.right - 1; x > frame.right - 96 && x >= frame.left; x -= 2) {
            LPARAM point = MAKELPARAM(static_cast<short>(x), static_cast<short>(y));
            if (SendPlainMessage(window, WM_NCHITTEST, 0, point) != HTCLOSE)
                continue;
            if (x < left)
                left = x;
            if (x > right)
                right = x;
            if (y < top)
                top = y;
            if (y > bottom)
                bottom = y;
        }
    }
    if (left > right)
        return false;
    centre.x = (left + right) / 2;
    centre.y = (top + bottom) / 2;
    return true;
}

TEST_F(ClosingE2e, CloseBoxEndsWithExitCode1) {
    POINT closeBox;
    ASSERT_TRUE(FindCloseBox(window_, closeBox)) << "the caption has no close box";
    // A click as the window sees it: the button goes down on the close box, which starts the
    // platform's own tracking of the close box, and comes up again; the tracking then sends
    // WM_SYSCOMMAND SC_CLOSE.  Posted in this order, the release is the next mouse message the
    // tracking reads, whatever the real pointer does.
    POINT client = closeBox;
    ScreenToClient(window_, &client);
    ASSERT_TRUE(PostMessageW(window_, WM_NCLBUTTONDOWN, HTCLOSE,
                             MAKELPARAM(static_cast<short>(closeBox.x), static_cast<short>(closeBox.y))));
    ASSERT_TRUE(PostMessageW(window_, WM_LBUTTONUP, 0,
                             MAKELPARAM(static_cast<short>(client.x), static_cast<short>(client.y))));
    ExpectEndsWithExitCode1();
}

TEST_F(ClosingE2e, SystemMenuCloseEndsWithExitCode1) {
    // What the system menu's Close item (and Alt+F4) sends.
    ASSERT_TRUE(PostMessageW(window_, WM_SYSCOMMAND, SC_CLOSE, 0));
    ExpectEndsWithExitCode1();
}

TEST_F(ClosingE2e, ExitCommandEndsWithExitCode1) {
    // A menu choice: notification code 0, no control.
    ASSERT_TRUE(PostMessageW(window_, WM_COMMAND, MAKEWPARAM(IDM_EXIT, 0), 0));
    ExpectEndsWithExitCode1();
}

TEST_F(ClosingE2e, CloseMessageFromElsewhereEndsWithExitCode1) {
    ASSERT_TRUE(PostMessageW(window_, WM_CLOSE, 0, 0));
    ExpectEndsWithExitCode1();
}

TEST_F(ClosingE2e, EscapeKeepsTheWindowOpen) {
    // The dialog manager turns the Escape key into this command, sent.  Ending or destroying the
    // dialog would hide it before the send returns.
    ASSERT_NE(SendPlainMessage(window_, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0, -12345), -12345);
    EXPECT_TRUE(IsWindow(window_));
    EXPECT_TRUE(IsWindowVisible(window_));
    EXPECT_TRUE(digestor_.IsRunning());
}

TEST(StartupE2e, MissingLanguageFolderShowsTheFixedMessageAndExitsWith0) {
    TempFolder folder;
    ASSERT_FALSE(folder.Path().empty());
    ASSERT_TRUE(folder.CopyIn(DigestorPath(), "Digestor.exe"));
    ASSERT_TRUE(folder.CopyIn(JoinPath(BinDirectory(), "VarnoLib64.dll"), "VarnoLib64.dll"));

    // Started from bin/, which has lang/: the module is looked for beside the program only.
    DigestorProcess digestor;
    ASSERT_TRUE(digestor.Start(JoinPath(folder.Path(), "Digestor.exe"), {}, BinDirectory()));
    HWND box = nullptr;
    PollUntil(
        [&] {
            box = FindMessageBox(digestor.Id());
            return box || !digestor.IsRunning() || FindMainWindow(digestor.Id());
        },
        kStartTimeoutMs);
    ASSERT_NE(box, nullptr) << "no message box: " << digestor.Describe();

    SeenMessageBox seen = ReadMessageBox(box);
    EXPECT_EQ(seen.title, "ERROR");
    EXPECT_EQ(seen.text, "LANGUAGE NOT FOUND!\n\nPlease re-install the program.");
    // MB_OK: a lone OK button.
    EXPECT_NE(GetDlgItem(box, IDOK), nullptr);
    EXPECT_EQ(GetDlgItem(box, IDCANCEL), nullptr);
    EXPECT_EQ(GetDlgItem(box, IDYES), nullptr);
    EXPECT_EQ(GetDlgItem(box, IDNO), nullptr);
    EXPECT_EQ(FindMainWindow(digestor.Id()), nullptr) << "a main window next to the message box";

    ASSERT_TRUE(PressMessageBoxButton(box, IDOK));
    DWORD code = 0;
    ASSERT_TRUE(digestor.WaitForExit(kExitTimeoutMs, code))
        << "still running after OK: " << digestor.Describe();
    EXPECT_EQ(code, 0u);
}

TEST(StartupE2e, RefusingCompanionLibraryEndsWith0ShowingNothing) {
    const std::string refusing = JoinPath(JoinPath(BinDirectory(), "refusing"), "VarnoLib64.dll");
    ASSERT_NE(GetFileAttributesA(refusing.c_str()), INVALID_FILE_ATTRIBUTES) << refusing << " is missing";

    // Everything a normal start needs, except that the library says no.
    TempFolder folder;
    ASSERT_FALSE(folder.Path().empty());
    ASSERT_TRUE(folder.CopyIn(DigestorPath(), "Digestor.exe"));
    ASSERT_TRUE(folder.CopyIn(refusing, "VarnoLib64.dll"));
    const std::string lang = JoinPath(BinDirectory(), "lang");
    ASSERT_TRUE(folder.CopyIn(JoinPath(lang, "1031.dll"), "lang\\1031.dll"));
    ASSERT_TRUE(folder.CopyIn(JoinPath(lang, "1033.dll"), "lang\\1033.dll"));

    DigestorProcess digestor;
    ASSERT_TRUE(digestor.Start(JoinPath(folder.Path(), "Digestor.exe"), {}, BinDirectory()));
    std::set<HWND> seen;
    std::string shown;
    bool ended = PollUntil(
        [&] {
            for (HWND window : VisibleTopLevelWindows(digestor.Id())) {
                if (seen.insert(window).second)
                    shown += "\"" + CaptionOf(window) + "\" (" + ClassNameOf(window) + ")\n";
            }
            return !digestor.IsRunning();
        },
        kStartTimeoutMs, 10);
    ASSERT_TRUE(ended) << "still running: " << digestor.Describe();
    DWORD code = 0;
    ASSERT_TRUE(digestor.WaitForExit(0, code));
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(shown, "") << "windows shown before the program ended";
}

} // namespace
