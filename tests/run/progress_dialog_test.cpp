#include "run/progress_dialog.h"

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/app_state.h"
#include "base/gui_listbox.h"
#include "res/resource.h"
#include "run/hash_job.h"
#include "tests/run/hold_point.h"
#include "tests/run/run_fixture.h"

namespace {

bool Greyed(UINT id) { return (GetMenuState(GetMenu(MainWindow), id, MF_BYCOMMAND) & MF_GRAYED) != 0; }

class ProgressDialog : public HeldRunFixture {
protected:
    // What the start button does: the dialog, then save and clear greyed.
    void Start() {
        m_session->OnWindowThread([] {
            EnableWindow(GetDlgItem(MainWindow, IDC_START), TRUE);
            HWND dialog = CreateDialogParamA(AppInstance, MAKEINTRESOURCEA(IDD_PROGRESS), MainWindow,
                                             ProgressDialogProc, 0);
            ProgressWindow = IsWindow(dialog) ? dialog : NULL;
            if (ProgressWindow) {
                EnableMenuItem(GetMenu(MainWindow), IDM_SAVE_LIST, MF_BYCOMMAND | MF_GRAYED);
                EnableMenuItem(GetMenu(MainWindow), IDM_CLEAR_LIST, MF_BYCOMMAND | MF_GRAYED);
            }
        });
    }

    bool StartEnabled() { return IsWindowEnabled(m_session->Control(IDC_START)) != FALSE; }

    bool ListEnabled() { return IsWindowEnabled(m_list) != FALSE; }

    // Two small files around a large one; the job is held inside the large one.
    void PrepareThreeFiles() {
        m_small1 = m_tree.Root() + "\\one.bin";
        m_large = m_tree.Root() + "\\large.bin";
        m_small2 = m_tree.Root() + "\\two.bin";
        ASSERT_TRUE(WriteBytes(m_small1, RandomBytes(2000, 1)));
        ASSERT_TRUE(WriteBytes(m_large, RandomBytes(8 * 1024 * 1024, 1)));
        ASSERT_TRUE(WriteBytes(m_small2, RandomBytes(3000, 1)));
        SetEntries({m_small1, m_large, m_small2});
        Hold.entry = 1;
        Hold.after = 1024 * 1024;
    }

    void ExpectStoppedInTheLargeFile() {
        std::vector<std::string> lines = ListedEntries();
        ASSERT_EQ(lines.size(), 3u);
        EXPECT_EQ(lines[0].substr(32), " <- MD5 -> " + m_small1);
        EXPECT_EQ(lines[1], m_large);
        EXPECT_EQ(lines[2], m_small2);
        EXPECT_TRUE(ListEnabled());
        EXPECT_FALSE(Greyed(IDM_SAVE_LIST));
        EXPECT_FALSE(Greyed(IDM_CLEAR_LIST));
        // The job closed the file on its way out.
        EXPECT_TRUE(OpensExclusively(m_large)) << GetLastError();
    }

    std::string m_small1;
    std::string m_large;
    std::string m_small2;
};

TEST_F(ProgressDialog, CompletedRunGivesTheWindowBackWithStartDisabled) {
    std::string path = m_tree.Root() + "\\done.bin";
    ASSERT_TRUE(WriteBytes(path, RandomBytes(5000, 1)));
    SetEntries({path});
    Start();
    ASSERT_TRUE(WaitForIdle());
    EXPECT_FALSE(StartEnabled());
    EXPECT_TRUE(ListEnabled());
    EXPECT_FALSE(Greyed(IDM_SAVE_LIST));
    EXPECT_FALSE(Greyed(IDM_CLEAR_LIST));
    std::vector<std::string> lines = ListedEntries();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].substr(32), " <- MD5 -> " + path);
}

TEST_F(ProgressDialog, RunningDialogIsDressedAndHoldsTheWindow) {
    PrepareThreeFiles();
    // Inside the first file, whose reports are shown at once.
    Hold.entry = 0;
    Hold.after = 1024;
    Start();
    ASSERT_TRUE(WaitFor([] { return Hold.reached.load(); }));
    HWND dialog = ProgressWindow;
    ASSERT_NE(dialog, nullptr);
    EXPECT_NE(HashThread, nullptr);
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), m_window);
    EXPECT_EQ(WindowText(dialog), "Digestor: " + ModuleString(m_language, IDS_PROGRESS_CAPTION));
    EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_CANCEL)), ModuleString(m_language, IDS_CANCEL));
    EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_FILE_GROUP)), ModuleString(m_language, IDS_FILE_GROUP));
    EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_TOTAL_GROUP)), ModuleString(m_language, IDS_TOTAL_GROUP));
    EXPECT_EQ(WindowText(m_window), "Digestor");
    const int bars[] = {IDC_FILE_PROGRESS, IDC_TOTAL_PROGRESS};
    for (int id : bars) {
        EXPECT_EQ(GetWindowLongPtrA(GetDlgItem(dialog, id), GWL_EXSTYLE), WS_EX_NOPARENTNOTIFY) << id;
    }
    // The file being read is shown, compacted to fit 50 characters.
    std::string shown = WindowText(GetDlgItem(dialog, IDC_PROGRESS_FILE_NAME));
    EXPECT_LE(shown.size(), 50u);
    if (m_small1.size() > 50) {
        EXPECT_NE(shown.find("..."), std::string::npos) << shown;
        ASSERT_GE(shown.size(), 8u);
        EXPECT_EQ(shown.substr(shown.size() - 8), "\\one.bin") << shown;
    } else {
        EXPECT_EQ(shown, m_small1);
    }
    EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_FILE_PROGRESS, PBM_GETRANGE, FALSE, 0), 2000);
    // The whole-list bar counts the entries of the list.
    EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_TOTAL_PROGRESS, PBM_GETRANGE, FALSE, 0), 3);
    EXPECT_FALSE(StartEnabled());
    EXPECT_FALSE(ListEnabled());
    EXPECT_TRUE(ListPaintingHeld());

    Hold.released = true;
    ASSERT_TRUE(WaitForIdle());
    EXPECT_TRUE(WaitFor([dialog] { return !IsWindow(dialog); }));
    EXPECT_FALSE(ListPaintingHeld());
    std::vector<std::string> lines = ListedEntries();
    ASSERT_EQ(lines.size(), 3u);
    for (size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].substr(32), " <- MD5 -> " + (i == 0 ? m_small1 : i == 1 ? m_large : m_small2));
    }
}

TEST_F(ProgressDialog, CancelInTheMiddleOfAFileKeepsItsPathAndEnablesStart) {
    PrepareThreeFiles();
    Hold.message = WM_COMMAND;
    Hold.wParam = IDC_CANCEL;
    Start();
    ASSERT_TRUE(WaitFor([] { return Hold.reached.load(); }));
    ASSERT_TRUE(WaitForIdle());
    EXPECT_TRUE(StartEnabled());
    ExpectStoppedInTheLargeFile();
}

TEST_F(ProgressDialog, SystemCloseStopsLikeCancelButLeavesStartDisabled) {
    PrepareThreeFiles();
    Hold.message = WM_SYSCOMMAND;
    Hold.wParam = SC_CLOSE;
    Start();
    ASSERT_TRUE(WaitFor([] { return Hold.reached.load(); }));
    ASSERT_TRUE(WaitForIdle());
    EXPECT_FALSE(StartEnabled());
    ExpectStoppedInTheLargeFile();
}

TEST_F(ProgressDialog, FileOfMoreThanFourGibibytesGetsAProportionalBar) {
    // A sparse file: its size costs no disk space, and the run is cancelled
    // after its first block.
    std::string path = m_tree.Root() + "\\huge.bin";
    HANDLE file =
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    LARGE_INTEGER size;
    size.QuadPart = (5LL << 30) + 123;
    BOOL sized = SetFilePointerEx(file, size, NULL, FILE_BEGIN) && SetEndOfFile(file);
    CloseHandle(file);
    ASSERT_TRUE(sized);
    SetEntries({path});
    Hold.entry = 0;
    Hold.after = 1024;
    Start();
    ASSERT_TRUE(WaitFor([] { return Hold.reached.load(); }));
    HWND bar = GetDlgItem(ProgressWindow, IDC_FILE_PROGRESS);
    LRESULT high = SendMessageA(bar, PBM_GETRANGE, FALSE, 0);
    LRESULT position = SendMessageA(bar, PBM_GETPOS, 0, 0);
    // The low 32 bits of the size would give a range of 1 GiB + 123.
    EXPECT_GT(high, 0);
    EXPECT_LT(high, 1 << 30);
    EXPECT_EQ(position, 0);
    PostMessageA(ProgressWindow, WM_COMMAND, IDC_CANCEL, 0);
    ASSERT_TRUE(WaitForIdle());
    std::vector<std::string> lines = ListedEntries();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], path);
    EXPECT_TRUE(StartEnabled());
}

TEST_F(ProgressDialog, JobThatDoesNotStopIsReportedAndTheWindowComesBack) {
    PrepareThreeFiles();
    m_expectedBox = ModuleString(m_language, IDS_CANNOT_STOP);
    ASSERT_FALSE(m_expectedBox.empty());
    Hold.ignoresStop = true;
    Hold.message = WM_COMMAND;
    Hold.wParam = IDC_CANCEL;
    Start();
    ASSERT_TRUE(WaitFor([] { return Hold.reached.load(); }));
    ASSERT_TRUE(WaitFor([] { return ProgressWindow == NULL; }));
    std::vector<SeenMessageBox> boxes;
    for (const SeenMessageBox& box : m_session->Boxes().Seen()) {
        if (box.text == m_expectedBox) {
            boxes.push_back(box);
        }
    }
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Digestor");
    EXPECT_EQ(boxes[0].owner, nullptr);
    EXPECT_TRUE(boxes[0].errorIcon);
    EXPECT_TRUE(StartEnabled());
    EXPECT_TRUE(ListEnabled());

    // The worker is still there: nothing new starts beside it, and its stop
    // request stays in force.
    EXPECT_NE(HashThread, (HANDLE)NULL);
    HWND mainWindow = m_window;
    m_session->OnWindowThread([mainWindow] { SendMessageA(mainWindow, WM_COMMAND, IDC_START, 0); });
    EXPECT_EQ(ProgressWindow, (HWND)NULL);

    // Let the job go: it still honours the stop and closes its file.
    Hold.released = true;
    EXPECT_TRUE(WaitFor([this] { return OpensExclusively(m_large); }));
    EXPECT_EQ(ListedEntries()[1], m_large);

    // Once it has ended, the next start runs the list.
    HANDLE stray = HashThread;
    ASSERT_EQ(WaitForSingleObject(stray, 20000), WAIT_OBJECT_0);
    m_session->OnWindowThread([mainWindow] { SendMessageA(mainWindow, WM_COMMAND, IDC_START, 0); });
    ASSERT_TRUE(WaitForIdle());
    EXPECT_EQ(HashThread, (HANDLE)NULL);
    EXPECT_EQ(ListedEntries()[1].substr(32), " <- MD5 -> " + m_large);
}

TEST_F(ProgressDialog, EmptyListOpensAndClosesAtOnce) {
    SetEntries({});
    Start();
    ASSERT_TRUE(WaitForIdle());
    EXPECT_FALSE(StartEnabled());
    EXPECT_TRUE(ListEnabled());
    EXPECT_EQ(FileList->EntryCount(), 0);
}

TEST_F(ProgressDialog, ClosingTheMainWindowStopsTheJob) {
    PrepareThreeFiles();
    Start();
    ASSERT_TRUE(WaitFor([] { return Hold.reached.load(); }));
    SendMessageA(m_window, WM_CLOSE, 0, 0);
    INT_PTR result = 0;
    ASSERT_TRUE(m_session->WaitForEnd(&result));
    EXPECT_EQ(ProgressWindow, nullptr);
    EXPECT_EQ(HashThread, nullptr);
    EXPECT_TRUE(HashStopRequested());
    EXPECT_TRUE(OpensExclusively(m_large)) << GetLastError();
}

} // namespace
