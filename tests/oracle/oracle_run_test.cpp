// Whole runs of the real main window and progress dialog, checked against
// digests computed on the Linux side by tools that share no code with the
// program (md5sum, openssl, gzip's CRC, an MD2 in Perl). linux_digests.sh
// makes the files, writes the manifest and names it in
// DIGESTOR_ORACLE_MANIFEST; the process's arguments are not used, because the
// main window takes them as files.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "base/app_state.h"
#include "base/gui_listbox.h"
#include "res/resource.h"
#include "run/progress_dialog.h"
#include "tests/app/main_window_test.h"
#include "tests/app/temp_tree.h"

namespace {

// One manifest line: "<kind>\t<algorithm>\t<digest>\t<path>".
struct Expected {
    std::string kind; // "file" or "sparse"
    std::string algorithm;
    std::string digest;
    std::string path;
};

// The lines of the manifest; empty (with a failure recorded) when it cannot be read.
std::vector<Expected> ReadManifest() {
    std::vector<Expected> lines;
    char path[MAX_PATH] = "";
    DWORD length = GetEnvironmentVariableA("DIGESTOR_ORACLE_MANIFEST", path, sizeof path);
    if (length == 0 || length >= sizeof path) {
        ADD_FAILURE() << "DIGESTOR_ORACLE_MANIFEST is not set: run this program through linux_digests.sh";
        return lines;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        ADD_FAILURE() << "cannot read the manifest " << path;
        return lines;
    }
    std::string text;
    while (std::getline(in, text)) {
        if (!text.empty() && text.back() == '\r') {
            text.pop_back();
        }
        if (text.empty()) {
            continue;
        }
        Expected line;
        size_t first = text.find('\t');
        size_t second = first == std::string::npos ? first : text.find('\t', first + 1);
        size_t third = second == std::string::npos ? second : text.find('\t', second + 1);
        if (third == std::string::npos) {
            ADD_FAILURE() << "malformed manifest line: " << text;
            continue;
        }
        line.kind = text.substr(0, first);
        line.algorithm = text.substr(first + 1, second - first - 1);
        line.digest = text.substr(second + 1, third - second - 1);
        line.path = text.substr(third + 1);
        lines.push_back(line);
    }
    return lines;
}

// The per-file and whole-list bars as the progress dialog holds them when the
// job reports its end, read on the window thread before the dialog goes away.
struct BarsAtEnd {
    std::atomic<bool> seen{false};
    std::atomic<LONG> fileLow{-1};
    std::atomic<LONG> fileHigh{-1};
    std::atomic<LONG> filePos{-1};
    std::atomic<LONG> totalHigh{-1};
    std::atomic<LONG> totalPos{-1};
};

BarsAtEnd AtEnd;
WNDPROC ProgressProc = NULL;

LRESULT CALLBACK WatchHashDone(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == MSG_HASH_DONE && !AtEnd.seen.load()) {
        HWND file = GetDlgItem(dialog, IDC_FILE_PROGRESS);
        HWND total = GetDlgItem(dialog, IDC_TOTAL_PROGRESS);
        AtEnd.fileLow = static_cast<LONG>(SendMessageA(file, PBM_GETRANGE, TRUE, 0));
        AtEnd.fileHigh = static_cast<LONG>(SendMessageA(file, PBM_GETRANGE, FALSE, 0));
        AtEnd.filePos = static_cast<LONG>(SendMessageA(file, PBM_GETPOS, 0, 0));
        AtEnd.totalHigh = static_cast<LONG>(SendMessageA(total, PBM_GETRANGE, FALSE, 0));
        AtEnd.totalPos = static_cast<LONG>(SendMessageA(total, PBM_GETPOS, 0, 0));
        AtEnd.seen = true;
    }
    return CallWindowProcA(ProgressProc, dialog, message, wParam, lParam);
}

// The main window with the progress dialog opened the way the start button
// opens it. The progress dialog is a #32770 window without a file list, so
// the box watcher meets it too: it is told apart by its caption.
class OracleRun : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        m_progressCaption = "Digestor: " + ModuleString(m_language, IDS_PROGRESS_CAPTION);
        m_expected = ReadManifest();
    }

    void TearDown() override {
        if (!m_session) {
            return;
        }
        if (m_window && IsWindow(m_window)) {
            SendMessageA(m_window, WM_CLOSE, 0, 0);
        }
        INT_PTR result = 0;
        EXPECT_TRUE(m_session->WaitForEnd(&result)) << "the main window did not close";
        for (const SeenMessageBox& box : m_session->Boxes().Seen()) {
            // A progress dialog met while it closes reads as a box without texts.
            bool progressDialog =
                box.caption == m_progressCaption || (box.caption.empty() && box.text.empty());
            EXPECT_TRUE(progressDialog) << "unexpected message box: " << box.caption << ": " << box.text;
        }
        m_session.reset();
    }

    // The manifest's lines of one kind and algorithm, in manifest order.
    std::vector<Expected> Lines(const std::string& kind, const std::string& algorithm) const {
        std::vector<Expected> lines;
        for (const Expected& line : m_expected) {
            if (line.kind == kind && line.algorithm == algorithm) {
                lines.push_back(line);
            }
        }
        return lines;
    }

    void SetEntries(const std::vector<Expected>& lines) {
        FileList->ClearEntries();
        for (const Expected& line : lines) {
            ASSERT_NE(GetFileAttributesA(line.path.c_str()), INVALID_FILE_ATTRIBUTES)
                << "Wine does not see " << line.path;
            ASSERT_GE(FileList->AddEntry(line.path.c_str()), 0) << line.path;
        }
    }

    // Selects the algorithm box's item of that name, as the user does.
    void SelectAlgorithm(const std::string& name) {
        HWND box = m_session->Control(IDC_ALGORITHM);
        LRESULT index = SendMessageA(box, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                     reinterpret_cast<LPARAM>(name.c_str()));
        ASSERT_NE(index, CB_ERR) << "the algorithm box has no " << name;
        SendMessageA(box, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        ASSERT_EQ(SendMessageA(box, CB_GETCURSEL, 0, 0), index);
    }

    // Opens the progress dialog on the window thread, watching it for the
    // job's end, and waits for the run to end.
    void RunAndWait(DWORD timeoutMs) {
        AtEnd.seen = false;
        m_session->OnWindowThread([] {
            HWND dialog = CreateDialogParamA(AppInstance, MAKEINTRESOURCEA(IDD_PROGRESS), MainWindow,
                                             ProgressDialogProc, 0);
            ProgressWindow = IsWindow(dialog) ? dialog : NULL;
            // The job's reports reach the dialog only once this thread handles
            // messages again, so the watch is in place before the first one.
            if (ProgressWindow) {
                ProgressProc = reinterpret_cast<WNDPROC>(
                    SetWindowLongPtrA(dialog, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WatchHashDone)));
            }
        });
        ASSERT_TRUE(WaitFor([] { return ProgressWindow == NULL && HashThread == NULL; }, timeoutMs))
            << "the run did not end within " << timeoutMs / 1000 << " s";
        ASSERT_TRUE(AtEnd.seen.load()) << "the job did not report its end";
    }

    // Every list entry must be the result line of its file, byte for byte.
    void ExpectResultLines(const std::vector<Expected>& expected, const std::string& algorithm) {
        std::vector<std::string> lines = ListedEntries();
        ASSERT_EQ(lines.size(), expected.size());
        for (size_t i = 0; i < lines.size(); ++i) {
            EXPECT_EQ(lines[i], expected[i].digest + " <- " + algorithm + " -> " + expected[i].path);
        }
    }

    std::string m_progressCaption;
    std::vector<Expected> m_expected;
};

// Twelve files from 0 bytes to 3 MiB; a run takes a few seconds.
const DWORD FilesRunTimeout = 120000;
// 5 GiB read in 1024-byte blocks: several minutes under Wine on a loaded machine.
const DWORD SparseRunTimeout = 900000;

class OracleFiles : public OracleRun {};
class OracleSparse : public OracleRun {};

TEST_F(OracleFiles, EveryAlgorithmGivesTheDigestsOfTheLinuxTools) {
    const char* const algorithms[] = {"MD2", "MD4", "MD5", "CRC32"};
    std::vector<Expected> paths = Lines("file", "MD5");
    ASSERT_GE(paths.size(), 12u) << "the manifest lists too few files";
    for (const char* algorithm : algorithms) {
        SCOPED_TRACE(algorithm);
        std::vector<Expected> expected = Lines("file", algorithm);
        ASSERT_EQ(expected.size(), paths.size()) << "the manifest lacks " << algorithm << " lines";
        for (size_t i = 0; i < expected.size(); ++i) {
            ASSERT_EQ(expected[i].path, paths[i].path) << "the manifest lists the files in another order";
        }
        SetEntries(expected);
        SelectAlgorithm(algorithm);
        RunAndWait(FilesRunTimeout);
        ExpectResultLines(expected, algorithm);
    }
}

TEST_F(OracleFiles, NoSelectionDigestsWithMd5) {
    std::vector<Expected> expected = Lines("file", "MD5");
    ASSERT_GE(expected.size(), 12u) << "the manifest lists too few files";
    HWND box = m_session->Control(IDC_ALGORITHM);
    SendMessageA(box, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    ASSERT_EQ(SendMessageA(box, CB_GETCURSEL, 0, 0), CB_ERR);
    SetEntries(expected);
    RunAndWait(FilesRunTimeout);
    ExpectResultLines(expected, "MD5");
}

TEST_F(OracleSparse, FiveGiBFileGivesTheMd5sumLineAndEndsWithAFullBar) {
    std::vector<Expected> expected = Lines("sparse", "MD5");
    ASSERT_EQ(expected.size(), 1u) << "the manifest names no sparse file";
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    ASSERT_TRUE(GetFileAttributesExA(expected[0].path.c_str(), GetFileExInfoStandard, &data));
    ULONGLONG size = (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    ASSERT_EQ(size, 5ULL << 30);

    SetEntries(expected);
    SelectAlgorithm("MD5");
    ULONGLONG started = GetTickCount64();
    RunAndWait(SparseRunTimeout);
    std::cout << "[          ] 5 GiB digested in " << (GetTickCount64() - started) / 1000 << " s\n";
    ExpectResultLines(expected, "MD5");

    // The per-file bar ends where the read ended: at the upper end of its range.
    EXPECT_EQ(AtEnd.fileLow.load(), 0);
    EXPECT_GT(AtEnd.fileHigh.load(), 0);
    EXPECT_EQ(AtEnd.filePos.load(), AtEnd.fileHigh.load());
    EXPECT_EQ(AtEnd.totalHigh.load(), 1);
    EXPECT_EQ(AtEnd.totalPos.load(), 1);
}

} // namespace
