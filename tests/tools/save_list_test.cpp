#include "tools/save_list.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string.h>

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "base/app_state.h"
#include "base/gui_listbox.h"
#include "res/resource.h"
#include "tests/app/temp_tree.h"
#include "tool_window_test.h"

namespace {

// Control IDs of the system's save dialog (dlgs.h): the file name field is
// cmb13, an edit or a combo box holding one, in older templates edt1.
const int FileNameCombo = 0x47C;
const int FileNameEdit = 0x480;

// Entries that would come out garbled if a list line were ever used as a format.
const std::vector<std::string> ThreeEntries = {
    "900150983cd24fb0d6963f7d28e17f72 <- MD5 -> C:\\data\\abc.txt",
    "C:\\data\\100% sure\\%s %d %n.txt",
    "ca6598d0 <- CRC32 -> C:\\data\\with  two  blanks.bin",
};

// OK presses the window thread's loops took from the queue, by window. The
// session's watcher presses OK (lParam 0) on every dialog it meets, the save
// dialog included; the tests type the file name only after that press is done.
std::mutex HookLock;
std::vector<HWND> WatcherPresses;

LRESULT CALLBACK NoteWatcherPress(int code, WPARAM wParam, LPARAM lParam) {
    const MSG* message = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE && message->message == WM_COMMAND &&
        LOWORD(message->wParam) == IDOK && message->lParam == 0) {
        std::lock_guard<std::mutex> lock(HookLock);
        WatcherPresses.push_back(message->hwnd);
    }
    return CallNextHookEx(NULL, code, wParam, lParam);
}

bool WatcherPressed(HWND dialog) {
    std::lock_guard<std::mutex> lock(HookLock);
    for (HWND window : WatcherPresses) {
        if (window == dialog) {
            return true;
        }
    }
    return false;
}

// The icon each dialog of the window thread shows once its WM_INITDIALOG is
// done, by the dialog's message text: the watcher answers boxes before the
// test could look at them.
struct ShownIcon {
    std::string text;
    HICON icon;
};

std::vector<ShownIcon> ShownIcons;

LRESULT CALLBACK NoteShownIcon(int code, WPARAM wParam, LPARAM lParam) {
    const CWPRETSTRUCT* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == WM_INITDIALOG) {
        ShownIcon shown = {"", NULL};
        for (HWND child = GetWindow(call->hwnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            char className[32] = "";
            GetClassNameA(child, className, sizeof className);
            if (_stricmp(className, "Static") != 0) {
                continue;
            }
            if ((GetWindowLongPtrA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
                shown.icon = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
                continue;
            }
            char text[2048] = "";
            GetWindowTextA(child, text, sizeof text);
            if (strlen(text) > shown.text.size()) {
                shown.text = text;
            }
        }
        std::lock_guard<std::mutex> lock(HookLock);
        ShownIcons.push_back(shown);
    }
    return CallNextHookEx(NULL, code, wParam, lParam);
}

HICON IconShownWith(const std::string& text) {
    std::lock_guard<std::mutex> lock(HookLock);
    for (const ShownIcon& shown : ShownIcons) {
        if (shown.text == text) {
            return shown.icon;
        }
    }
    return NULL;
}

std::atomic<int> FailedWrites{0};

// Stands in for a full disk: half the text goes out, then the write fails.
BOOL WriteHalfThenFail(HANDLE file, const void* bytes, DWORD length) {
    ++FailedWrites;
    DWORD written = 0;
    WriteFile(file, bytes, length / 2, &written, NULL);
    SetLastError(ERROR_DISK_FULL);
    return FALSE;
}

HWND FindEdit(HWND window) {
    char className[32] = "";
    GetClassNameA(window, className, sizeof className);
    if (_stricmp(className, "Edit") == 0) {
        return window;
    }
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        HWND edit = FindEdit(child);
        if (edit) {
            return edit;
        }
    }
    return NULL;
}

// The edit field the user types the file name into.
HWND NameField(HWND dialog) {
    HWND field = GetDlgItem(dialog, FileNameCombo);
    if (!field) {
        field = GetDlgItem(dialog, FileNameEdit);
    }
    return field ? FindEdit(field) : NULL;
}

size_t CountOf(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) {
        ++count;
    }
    return count;
}

// Whether some window of the thread is owned by owner (a box the save dialog shows).
struct OwnedSearch {
    HWND owner;
    bool found;
};

BOOL CALLBACK VisitOwned(HWND window, LPARAM lParam) {
    OwnedSearch* search = reinterpret_cast<OwnedSearch*>(lParam);
    if (GetWindow(window, GW_OWNER) == search->owner) {
        search->found = true;
        return FALSE;
    }
    return TRUE;
}

class SaveListTest : public ToolWindowTest {
protected:
    void SetUp() override {
        ToolWindowTest::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        {
            std::lock_guard<std::mutex> lock(HookLock);
            WatcherPresses.clear();
            ShownIcons.clear();
        }
        m_pressHook = SetWindowsHookExA(WH_GETMESSAGE, NoteWatcherPress, NULL, m_session->ThreadId());
        ASSERT_NE(m_pressHook, nullptr);
        m_iconHook = SetWindowsHookExA(WH_CALLWNDPROCRET, NoteShownIcon, NULL, m_session->ThreadId());
        ASSERT_NE(m_iconHook, nullptr);
        FailedWrites = 0;
        ASSERT_FALSE(m_tree.Root().empty());
        m_folder = m_tree.Root();
        FileList->ClearEntries();
    }

    void TearDown() override {
        if (m_pressHook) {
            UnhookWindowsHookEx(m_pressHook);
        }
        if (m_iconHook) {
            UnhookWindowsHookEx(m_iconHook);
        }
        ToolWindowTest::TearDown();
        SetSaveWriteFunction(NULL);
    }

    void SetEntries(const std::vector<std::string>& entries) {
        FileList->ClearEntries();
        for (const std::string& entry : entries) {
            ASSERT_GE(FileList->AddEntry(entry.c_str()), 0) << entry;
        }
    }

    LRESULT Selection() { return SendMessageA(m_list, LB_GETCURSEL, 0, 0); }

    // The saved file: two separator lines of 80 hyphens around the heading, an
    // empty line, then one line per entry; CR LF each, nothing else.
    std::string ExpectedFile(const std::vector<std::string>& entries) {
        std::string heading = ModuleString(m_language, IDS_SAVE_HEADING);
        EXPECT_FALSE(heading.empty());
        std::string separator = std::string(80, '-') + "\r\n";
        std::string text =
            separator + std::string(17, ' ') + AppTitle + " - " + heading + "\r\n" + separator + "\r\n";
        for (const std::string& entry : entries) {
            text += entry + "\r\n";
        }
        return text;
    }

    // Chooses the menu command and waits until the save dialog is up and the
    // watcher's press on it has been handled; null when it does not come.
    HWND OpenSaveDialog() {
        PostMessageA(m_window, WM_COMMAND, IDM_SAVE_LIST, 0);
        std::string title = m_saveTitle;
        HWND dialog =
            WaitForOwnedDialog([&](HWND window) { return WindowText(window) == title && NameField(window); });
        EXPECT_NE(dialog, nullptr) << "the save dialog did not open";
        if (!dialog) {
            return NULL;
        }
        bool pressed = WaitFor([dialog] { return WatcherPressed(dialog); });
        EXPECT_TRUE(pressed) << "the watcher did not press OK on the save dialog";
        return pressed ? dialog : NULL;
    }

    static void TypeName(HWND dialog, const std::string& name) {
        SendMessageA(NameField(dialog), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
    }

    static void Press(HWND dialog, int button) {
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
    }

    // The whole road: menu command, name typed, Save pressed; then waits for
    // count message boxes and for the command to return.
    void Save(const std::string& name, size_t count) {
        HWND dialog = OpenSaveDialog();
        ASSERT_NE(dialog, nullptr);
        m_dialog = dialog;
        TypeName(dialog, name);
        Press(dialog, IDOK);
        EXPECT_TRUE(WaitForBoxes(count)) << "message boxes:" << Describe(Boxes());
        EXPECT_TRUE(WaitForMainWindowIdle()) << "the save command did not return";
        EXPECT_FALSE(IsWindow(dialog));
    }

    // Once the box the dialog answered a name with is gone, cancels the dialog
    // and waits for the command to return; false when the dialog has gone.
    bool CancelAfterRefusal(HWND dialog) {
        EXPECT_TRUE(WaitFor([dialog] {
            OwnedSearch search = {dialog, false};
            EnumThreadWindows(GetWindowThreadProcessId(dialog, NULL), VisitOwned,
                              reinterpret_cast<LPARAM>(&search));
            return !IsWindow(dialog) || (!search.found && IsWindowEnabled(dialog));
        }));
        // Back in its own loop before the press arrives.
        DWORD_PTR ignored = 0;
        SendMessageTimeoutA(dialog, WM_NULL, 0, 0, SMTO_NORMAL, 20000, &ignored);
        if (!IsWindow(dialog)) {
            return false;
        }
        Press(dialog, IDCANCEL);
        EXPECT_TRUE(WaitForMainWindowIdle()) << "the save command did not return";
        return true;
    }

    // A notice of the save command: the program's caption, the module's string
    // and the system's information or error icon.
    void ExpectNotice(const SeenMessageBox& box, UINT textId, LPCSTR icon) {
        std::string text = ModuleString(m_language, textId);
        ASSERT_FALSE(text.empty()) << textId;
        EXPECT_EQ(box.text, text);
        EXPECT_EQ(box.caption, "Digestor");
        EXPECT_EQ(box.owner, m_window);
        EXPECT_FALSE(box.hasYes);
        EXPECT_EQ(box.errorIcon, icon == IDI_ERROR);
        EXPECT_EQ(IconShownWith(text), LoadIconA(NULL, icon)) << "another icon than expected";
    }

    // The save dialog's own question whether to replace a file.
    void ExpectOverwriteQuestion(const SeenMessageBox& box) {
        EXPECT_TRUE(box.hasYes) << box.text;
        EXPECT_EQ(box.owner, m_dialog) << box.text;
    }

    TempTree m_tree;
    std::string m_folder;
    HHOOK m_pressHook = NULL;
    HHOOK m_iconHook = NULL;
    HWND m_dialog = NULL;
};

TEST_F(SaveListTest, EmptyListIsTheHeadingAlone) {
    std::string path = m_folder + "\\empty.txt";
    Save(path, 1);
    m_expectedBoxes = 1;
    std::vector<SeenMessageBox> boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u) << Describe(boxes);
    ExpectNotice(boxes[0], IDS_SAVED, IDI_INFORMATION);

    std::string bytes = ReadWholeFile(path);
    EXPECT_EQ(bytes, ExpectedFile({}));
    EXPECT_EQ(CountOf(bytes, "\r\n"), 4u);
    EXPECT_EQ(CountOf(bytes, "\n"), 4u) << "a line feed without carriage return";
    EXPECT_EQ(FolderContents(m_folder), std::vector<std::string>{"empty.txt"});
}

TEST_F(SaveListTest, ThreeEntriesFollowTheHeadingInListOrder) {
    SetEntries(ThreeEntries);
    ASSERT_EQ(FileList->SetSelection(1), 1);
    std::string path = m_folder + "\\three.txt";
    Save(path, 1);
    m_expectedBoxes = 1;
    std::vector<SeenMessageBox> boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u) << Describe(boxes);
    ExpectNotice(boxes[0], IDS_SAVED, IDI_INFORMATION);

    std::string bytes = ReadWholeFile(path);
    EXPECT_EQ(bytes, ExpectedFile(ThreeEntries));
    ASSERT_FALSE(bytes.empty());
    EXPECT_EQ(bytes[0], '-') << "something precedes the first separator";
    EXPECT_EQ(CountOf(bytes, "\r\n"), 7u);
    EXPECT_EQ(CountOf(bytes, "\n"), 7u);
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");

    EXPECT_EQ(Selection(), LB_ERR) << "an entry is still selected";
    EXPECT_EQ(ListedEntries(), ThreeEntries) << "the save changed the list";
    EXPECT_EQ(FolderContents(m_folder), std::vector<std::string>{"three.txt"});
}

TEST_F(SaveListTest, NameWithoutExtensionGetsTxt) {
    SetEntries({ThreeEntries[0]});
    Save(m_folder + "\\list", 1);
    m_expectedBoxes = 1;
    EXPECT_EQ(FolderContents(m_folder), std::vector<std::string>{"list.txt"});
    EXPECT_EQ(ReadWholeFile(m_folder + "\\list.txt"), ExpectedFile({ThreeEntries[0]}));
}

TEST_F(SaveListTest, CancellingWritesNothingAndSaysNothing) {
    SetEntries(ThreeEntries);
    ASSERT_EQ(FileList->SetSelection(2), 2);
    HWND dialog = OpenSaveDialog();
    ASSERT_NE(dialog, nullptr);
    TypeName(dialog, m_folder + "\\cancelled.txt");
    Press(dialog, IDCANCEL);
    EXPECT_TRUE(WaitForMainWindowIdle()) << "the save command did not return";
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_TRUE(FolderContents(m_folder).empty());
    EXPECT_TRUE(Boxes().empty()) << Describe(Boxes());
    EXPECT_EQ(Selection(), 2);
}

TEST_F(SaveListTest, ExistingFileIsReplacedWholeAfterTheQuestion) {
    std::string path = m_folder + "\\existing.txt";
    std::string old(5000, 'x');
    ASSERT_TRUE(WriteWholeFile(path, old));
    SetEntries(ThreeEntries);
    Save(path, 2);
    m_expectedBoxes = 2;
    std::vector<SeenMessageBox> boxes = Boxes();
    ASSERT_EQ(boxes.size(), 2u) << Describe(boxes);
    ExpectOverwriteQuestion(boxes[0]);
    ExpectNotice(boxes[1], IDS_SAVED, IDI_INFORMATION);

    std::string expected = ExpectedFile(ThreeEntries);
    ASSERT_LT(expected.size(), old.size());
    EXPECT_EQ(ReadWholeFile(path), expected);
    EXPECT_EQ(FolderContents(m_folder), std::vector<std::string>{"existing.txt"});
}

TEST_F(SaveListTest, MissingFolderIsRefusedByTheDialog) {
    SetEntries(ThreeEntries);
    HWND dialog = OpenSaveDialog();
    ASSERT_NE(dialog, nullptr);
    TypeName(dialog, m_folder + "\\missing\\list.txt");
    Press(dialog, IDOK);
    ASSERT_TRUE(WaitForBoxes(1)) << "the dialog did not refuse the name";
    ASSERT_TRUE(CancelAfterRefusal(dialog)) << "the dialog accepted a name in a missing folder";

    m_expectedBoxes = 1;
    std::vector<SeenMessageBox> boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u) << Describe(boxes);
    EXPECT_EQ(boxes[0].owner, dialog) << "the refusal is not the dialog's own";
    EXPECT_FALSE(boxes[0].hasYes);
    EXPECT_NE(boxes[0].caption, "Digestor");
    EXPECT_TRUE(FolderContents(m_folder).empty());
}

TEST_F(SaveListTest, FailedWriteLeavesThePreviousFileAsItWas) {
    std::string path = m_folder + "\\kept.txt";
    std::string old = "previous content\r\n" + std::string(3000, 'p') + "\r\n";
    ASSERT_TRUE(WriteWholeFile(path, old));
    SetEntries(ThreeEntries);
    ASSERT_EQ(FileList->SetSelection(1), 1);
    SetSaveWriteFunction(WriteHalfThenFail);
    Save(path, 2);
    m_expectedBoxes = 2;
    std::vector<SeenMessageBox> boxes = Boxes();
    ASSERT_EQ(boxes.size(), 2u) << Describe(boxes);
    ExpectOverwriteQuestion(boxes[0]);
    ExpectNotice(boxes[1], IDS_SAVE_FAILED, IDI_ERROR);

    EXPECT_GT(FailedWrites.load(), 0) << "the save never wrote";
    EXPECT_EQ(ReadWholeFile(path), old);
    EXPECT_EQ(FolderContents(m_folder), std::vector<std::string>{"kept.txt"}) << "a temporary file was left";
    EXPECT_EQ(Selection(), 1) << "a failed save changed the selection";
}

TEST_F(SaveListTest, FailedWriteOfANewNameLeavesNoFile) {
    SetEntries(ThreeEntries);
    SetSaveWriteFunction(WriteHalfThenFail);
    Save(m_folder + "\\new.txt", 1);
    m_expectedBoxes = 1;
    std::vector<SeenMessageBox> boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u) << Describe(boxes);
    ExpectNotice(boxes[0], IDS_SAVE_FAILED, IDI_ERROR);
    EXPECT_GT(FailedWrites.load(), 0);
    EXPECT_TRUE(FolderContents(m_folder).empty());
}

// The system's dialog refuses a read-only file where it implements that;
// where it lets the name through, the save must fail without touching it.
TEST_F(SaveListTest, ReadOnlyFileIsLeftAsItWas) {
    std::string path = m_folder + "\\locked.txt";
    std::string old = "protected content\r\n";
    ASSERT_TRUE(WriteWholeFile(path, old));
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    SetEntries(ThreeEntries);
    ASSERT_EQ(FileList->SetSelection(0), 0);
    HWND dialog = OpenSaveDialog();
    ASSERT_NE(dialog, nullptr);
    m_dialog = dialog;
    TypeName(dialog, path);
    Press(dialog, IDOK);
    ASSERT_TRUE(WaitForBoxes(1));
    if (Boxes()[0].hasYes) {
        // Asked whether to replace it: the save goes ahead and must fail.
        EXPECT_TRUE(WaitForBoxes(2));
        EXPECT_TRUE(WaitForMainWindowIdle()) << "the save command did not return";
        m_expectedBoxes = 2;
        std::vector<SeenMessageBox> boxes = Boxes();
        ASSERT_EQ(boxes.size(), 2u) << Describe(boxes);
        ExpectOverwriteQuestion(boxes[0]);
        ExpectNotice(boxes[1], IDS_SAVE_FAILED, IDI_ERROR);
    } else {
        EXPECT_TRUE(CancelAfterRefusal(dialog)) << "the dialog accepted the name";
        m_expectedBoxes = 1;
        std::vector<SeenMessageBox> boxes = Boxes();
        ASSERT_EQ(boxes.size(), 1u) << Describe(boxes);
        EXPECT_EQ(boxes[0].owner, dialog);
    }
    EXPECT_EQ(ReadWholeFile(path), old) << "the read-only file was changed";
    EXPECT_EQ(FolderContents(m_folder), std::vector<std::string>{"locked.txt"});
    EXPECT_EQ(Selection(), 0);
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

} // namespace
