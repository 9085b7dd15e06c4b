// The command-line intake on argument vectors: files listed, folders walked
// after a Yes/No question, missing paths skipped without one.
#include <windows.h>

#include <gtest/gtest.h>

#include <stdio.h>
#include <string.h>

#include <atomic>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "base/app_state.h"
#include "base/gui_listbox.h"
#include "app/take_command_line.h"
#include "main_window_test.h"
#include "res/resource.h"
#include "temp_tree.h"

namespace {

struct Question {
    std::string caption;
    std::string text;
    HWND owner;
    bool yesNo;
};

// Answers the message boxes of one thread with a fixed button and records them.
// The intake runs on the test thread, so the session's watcher, which answers
// every box of the window thread with Yes, never sees these.
class QuestionAnswerer {
public:
    QuestionAnswerer(DWORD threadId, int answer) : m_threadId(threadId), m_answer(answer) {
        m_thread = CreateThread(NULL, 0, Run, this, 0, NULL);
    }
    ~QuestionAnswerer() {
        m_stop = true;
        WaitForSingleObject(m_thread, INFINITE);
        CloseHandle(m_thread);
    }
    std::vector<Question> Seen() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_seen;
    }

private:
    static DWORD WINAPI Run(void* self) {
        QuestionAnswerer* answerer = static_cast<QuestionAnswerer*>(self);
        while (!answerer->m_stop) {
            EnumThreadWindows(answerer->m_threadId, Visit, reinterpret_cast<LPARAM>(answerer));
            Sleep(10);
        }
        return 0;
    }
    static BOOL CALLBACK Visit(HWND box, LPARAM self) {
        QuestionAnswerer* answerer = reinterpret_cast<QuestionAnswerer*>(self);
        char text[1024] = "";
        GetClassNameA(box, text, sizeof text);
        if (strcmp(text, "#32770") != 0 || !IsWindowVisible(box) || answerer->m_answered.count(box)) {
            return TRUE;
        }
        answerer->m_answered.insert(box);
        Question seen = {};
        GetWindowTextA(box, text, sizeof text);
        seen.caption = text;
        GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
        seen.text = text;
        seen.owner = GetWindow(box, GW_OWNER);
        seen.yesNo = GetDlgItem(box, IDYES) && GetDlgItem(box, IDNO);
        {
            std::lock_guard<std::mutex> lock(answerer->m_mutex);
            answerer->m_seen.push_back(seen);
        }
        PostMessageA(box, WM_COMMAND, seen.yesNo ? answerer->m_answer : IDOK, 0);
        return TRUE;
    }

    DWORD m_threadId;
    int m_answer;
    std::atomic<bool> m_stop{false};
    HANDLE m_thread;
    std::mutex m_mutex;
    std::vector<Question> m_seen;
    std::set<HWND> m_answered; // the answering thread's alone
};

class CommandLineTest : public MainWindowTest {
protected:
    // Runs the intake on the test thread with arguments, answering questions with answer.
    std::vector<Question> Take(const std::vector<std::string>& arguments, int answer) {
        std::vector<std::wstring> wide;
        for (const std::string& argument : arguments) {
            wide.push_back(std::wstring(argument.begin(), argument.end()));
        }
        std::vector<const wchar_t*> vector;
        for (const std::wstring& argument : wide) {
            vector.push_back(argument.c_str());
        }
        QuestionAnswerer answerer(GetCurrentThreadId(), answer);
        TakeArguments(m_window, vector.data(), static_cast<int>(vector.size()));
        return answerer.Seen();
    }

    std::string AskedFor(const std::string& path) {
        char text[PathBufferSize];
        snprintf(text, sizeof text, ModuleString(m_language, IDS_ASK_FOLDER).c_str(), path.c_str());
        return text;
    }
};

TEST_F(CommandLineTest, FilesAreListedInOrderWithoutAQuestion) {
    TempTree tree;
    std::string first = tree.File("b.txt");
    std::string second = tree.File("a.txt");
    EXPECT_TRUE(Take({first, second}, IDNO).empty());
    EXPECT_EQ(ListedEntries(), (std::vector<std::string>{first, second}));
}

TEST_F(CommandLineTest, FolderAnsweredYesIsWalkedInPlace) {
    TempTree tree;
    std::string before = tree.File("before.txt");
    std::string folder = tree.Folder("D");
    tree.File("D\\a.txt");
    tree.Folder("D\\sub");
    tree.File("D\\sub\\b.txt");
    std::string after = tree.File("after.txt");

    std::vector<Question> asked = Take({before, folder, after}, IDYES);

    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].text, AskedFor(folder));
    EXPECT_EQ(asked[0].caption, "Digestor");
    EXPECT_EQ(asked[0].owner, m_window);
    EXPECT_TRUE(asked[0].yesNo);
    std::vector<std::string> expected = {before};
    for (const std::string& file : WalkOrder(folder)) {
        expected.push_back(file);
    }
    expected.push_back(after);
    EXPECT_EQ(expected.size(), 4u);
    EXPECT_EQ(ListedEntries(), expected);
}

TEST_F(CommandLineTest, FolderAnsweredNoListsNothing) {
    TempTree tree;
    std::string folder = tree.Folder("D");
    tree.File("D\\a.txt");
    EXPECT_EQ(Take({folder}, IDNO).size(), 1u);
    EXPECT_EQ(FileList->EntryCount(), 0);
}

TEST_F(CommandLineTest, MissingPathIsSkippedWithoutAQuestion) {
    TempTree tree;
    std::string file = tree.File("here.txt");
    EXPECT_TRUE(Take({tree.Root() + "\\missing", file, tree.Root() + "\\missing\\"}, IDYES).empty());
    EXPECT_EQ(ListedEntries(), std::vector<std::string>{file});
}

} // namespace
