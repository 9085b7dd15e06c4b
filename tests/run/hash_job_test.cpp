#include "run/hash_job.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/gui_listbox.h"
#include "engine/digestor.h"
#include "res/resource.h"
#include "run/progress_dialog.h"
#include "run/taskbar.h"
#include "tests/app/main_window_test.h"
#include "tests/app/temp_tree.h"
#include "tests/run/fake_taskbar.h"

namespace {

const char* const Names[4] = {"MD2", "MD4", "MD5", "CRC32"};

// Writes bytes into a new file path.
bool WriteBytes(const std::string& path, const std::vector<BYTE>& bytes) {
    HANDLE file =
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    BOOL ok =
        bytes.empty() || WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, NULL);
    CloseHandle(file);
    return ok && written == bytes.size();
}

std::vector<BYTE> RandomBytes(size_t size, unsigned seed) {
    std::mt19937 generator(seed);
    std::vector<BYTE> bytes(size);
    for (BYTE& byte : bytes) {
        byte = static_cast<BYTE>(generator());
    }
    return bytes;
}

// The engine used on its own over the whole content in one call: no blocks,
// no files, no list.
std::string EngineDigest(DigestKind kind, const std::vector<BYTE>& bytes) {
    IDigestor* digestor = CreateDigestor(kind);
    if (!bytes.empty()) {
        digestor->Update(bytes.data(), static_cast<uint32_t>(bytes.size()));
    }
    digestor->Finish();
    std::string text = digestor->DigestText();
    digestor->Release();
    return text;
}

// The main window with the progress dialog opened from the test the way the
// start button opens it. The progress dialog is a #32770 window without a
// file list, so the box watcher meets it too: it is told apart by caption.
class HashJob : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        // The language module goes with the main window.
        m_progressCaption = "Digestor: " + ModuleString(m_language, IDS_PROGRESS_CAPTION);
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

    void SetEntries(const std::vector<std::string>& entries) {
        FileList->ClearEntries();
        for (const std::string& entry : entries) {
            ASSERT_GE(FileList->AddEntry(entry.c_str()), 0) << entry;
        }
    }

    void SelectAlgorithm(int index) {
        SendMessageA(m_session->Control(IDC_ALGORITHM), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    }

    // Opens the progress dialog on the window thread and waits for the run to end.
    void RunAndWait() {
        m_session->OnWindowThread([] {
            HWND dialog = CreateDialogParamA(AppInstance, MAKEINTRESOURCEA(IDD_PROGRESS), MainWindow,
                                             ProgressDialogProc, 0);
            ProgressWindow = IsWindow(dialog) ? dialog : NULL;
        });
        ASSERT_TRUE(WaitFor([] { return ProgressWindow == NULL && HashThread == NULL; }))
            << "the run did not end";
    }

    TempTree m_tree;
    std::string m_progressCaption;
};

TEST_F(HashJob, EmptyFileGivesTheResultLineOfTheTypicalRoad) {
    m_tree.Folder("D");
    std::string path = m_tree.File("D\\a.txt");
    SetEntries({path});
    RunAndWait();
    std::vector<std::string> lines = ListedEntries();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "d41d8cd98f00b204e9800998ecf8427e <- MD5 -> " + path);
}

TEST_F(HashJob, EveryAlgorithmAgreesWithTheEngineOverBlockBoundaries) {
    const size_t sizes[] = {0, 1, 1023, 1024, 1025, 3 * 1024 * 1024 + 17};
    std::vector<std::string> paths;
    std::vector<std::vector<BYTE>> contents;
    for (size_t i = 0; i < sizeof sizes / sizeof sizes[0]; ++i) {
        contents.push_back(RandomBytes(sizes[i], static_cast<unsigned>(1000 + i)));
        paths.push_back(m_tree.Root() + "\\f" + std::to_string(sizes[i]) + ".bin");
        ASSERT_TRUE(WriteBytes(paths.back(), contents.back()));
    }
    // -1 is no selection at all, which means MD5.
    const int selections[] = {0, 1, 2, 3, -1};
    for (int selection : selections) {
        SCOPED_TRACE("selection " + std::to_string(selection));
        DigestKind kind = selection < 0 ? DigestMD5 : selection;
        SetEntries(paths);
        SelectAlgorithm(selection);
        ASSERT_EQ(SendMessageA(m_session->Control(IDC_ALGORITHM), CB_GETCURSEL, 0, 0), selection);
        RunAndWait();
        std::vector<std::string> lines = ListedEntries();
        ASSERT_EQ(lines.size(), paths.size());
        for (size_t i = 0; i < paths.size(); ++i) {
            EXPECT_EQ(lines[i], EngineDigest(kind, contents[i]) + " <- " + Names[kind] + " -> " + paths[i]);
        }
    }
}

TEST_F(HashJob, UnopenableEntriesBecomeFailureLines) {
    std::string missing = m_tree.Root() + "\\missing.txt";
    std::string folder = m_tree.Folder("folder");
    std::string file = m_tree.File("present.txt");
    SetEntries({missing, "", folder, file});
    SelectAlgorithm(1);
    RunAndWait();

    std::string format = ModuleString(m_language, IDS_OPEN_FAILED);
    ASSERT_NE(format.find("%s"), std::string::npos);
    char expected[2048];
    std::vector<std::string> lines = ListedEntries();
    ASSERT_EQ(lines.size(), 4u);
    wsprintfA(expected, format.c_str(), "MD4", missing.c_str());
    EXPECT_EQ(lines[0], expected);
    EXPECT_NE(lines[0], missing);
    EXPECT_EQ(lines[1], "") << "an empty entry is left alone";
    wsprintfA(expected, format.c_str(), "MD4", folder.c_str());
    EXPECT_EQ(lines[2], expected);
    EXPECT_EQ(lines[3], "31d6cfe0d16ae931b73c59d7e0c089c0 <- MD4 -> " + file);
}

TEST_F(HashJob, OverlongFailureLineIsCutToAnEntry) {
    std::string missing = m_tree.Root() + "\\" + std::string(500 - m_tree.Root().size(), 'q');
    SetEntries({missing});
    RunAndWait();
    std::string format = ModuleString(m_language, IDS_OPEN_FAILED);
    char expected[2048];
    wsprintfA(expected, format.c_str(), "MD5", missing.c_str());
    ASSERT_GT(strlen(expected), 519u);
    expected[519] = '\0';
    std::vector<std::string> lines = ListedEntries();
    ASSERT_EQ(lines.size(), 1u) << "the entry must not be lost";
    EXPECT_EQ(lines[0], expected);
}

TEST_F(HashJob, ResultLinesStayUnchangedWhenRunAgain) {
    std::vector<std::string> paths;
    for (int i = 0; i < 3; ++i) {
        paths.push_back(m_tree.Root() + "\\r" + std::to_string(i) + ".bin");
        ASSERT_TRUE(WriteBytes(paths.back(), RandomBytes(100 * i + 5, static_cast<unsigned>(i))));
    }
    SetEntries(paths);
    RunAndWait();
    std::vector<std::string> first = ListedEntries();
    ASSERT_EQ(first.size(), 3u);
    for (size_t i = 0; i < first.size(); ++i) {
        ASSERT_NE(first[i].find(" <- MD5 -> " + paths[i]), std::string::npos) << first[i];
    }
    SelectAlgorithm(3);
    RunAndWait();
    EXPECT_EQ(ListedEntries(), first);
}

TEST_F(HashJob, TaskbarFollowsTheRunAndEndsWithoutProgress) {
    const int count = 4;
    std::vector<std::string> paths;
    for (int i = 0; i < count; ++i) {
        paths.push_back(m_tree.Root() + "\\t" + std::to_string(i) + ".bin");
        ASSERT_TRUE(WriteBytes(paths.back(), RandomBytes(4096, static_cast<unsigned>(i))));
    }
    SetEntries(paths);
    bool registered = false;
    m_session->OnWindowThread([&] {
        CoInitializeEx(NULL, COINIT_APARTMENTTHREADED);
        registered = RegisterFakeTaskbarClass();
        ResetFakeTaskbar();
        ReplaceTaskbarObject(6, 1);
    });
    ASSERT_TRUE(registered);
    ASSERT_EQ(FakeTaskbarsCreated(), 1);
    RunAndWait();
    std::vector<TaskbarCallRecord> calls = FakeTaskbarCalls();
    // The taskbar object outlives this window thread: empty it for later tests.
    m_session->OnWindowThread([] {
        SetFakeTaskbarCreationFails(true);
        ReplaceTaskbarObject(6, 1);
    });

    ASSERT_GE(calls.size(), 5u); // HrInit, NORMAL, (0, count), (count, count), NOPROGRESS
    EXPECT_EQ(calls[0].call, TaskbarCall::HrInit);
    EXPECT_EQ(calls[1].call, TaskbarCall::SetProgressState);
    EXPECT_EQ(calls[1].first, static_cast<ULONGLONG>(TBPF_NORMAL));
    EXPECT_EQ(calls[2].call, TaskbarCall::SetProgressValue);
    EXPECT_EQ(calls[2].first, 0u);
    ULONGLONG last = 0;
    for (size_t i = 2; i + 1 < calls.size(); ++i) {
        SCOPED_TRACE("call " + std::to_string(i));
        EXPECT_EQ(calls[i].call, TaskbarCall::SetProgressValue);
        EXPECT_EQ(calls[i].second, static_cast<ULONGLONG>(count));
        EXPECT_GE(calls[i].first, last);
        last = calls[i].first;
    }
    EXPECT_EQ(calls[calls.size() - 2].first, static_cast<ULONGLONG>(count));
    EXPECT_EQ(calls.back().call, TaskbarCall::SetProgressState);
    EXPECT_EQ(calls.back().first, static_cast<ULONGLONG>(TBPF_NOPROGRESS));
    for (size_t i = 1; i < calls.size(); ++i) {
        EXPECT_EQ(calls[i].window, m_window);
    }
}

} // namespace
