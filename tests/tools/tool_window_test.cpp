#include "tool_window_test.h"

#include <string.h>

#include <algorithm>

#include "base/app_state.h"
#include "res/resource.h"

namespace {

struct DialogSearch {
    HWND owner;
    const std::function<bool(HWND)>* matches;
    HWND found;
};

bool IsDialogClass(HWND window) {
    char className[32] = "";
    GetClassNameA(window, className, sizeof className);
    return strcmp(className, "#32770") == 0;
}

BOOL CALLBACK VisitOwnedDialog(HWND window, LPARAM lParam) {
    DialogSearch* search = reinterpret_cast<DialogSearch*>(lParam);
    if (IsDialogClass(window) && IsWindowVisible(window) && GetWindow(window, GW_OWNER) == search->owner &&
        (*search->matches)(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// Any dialog of the calling thread besides the main window, shown or not.
BOOL CALLBACK VisitOtherDialog(HWND window, LPARAM lParam) {
    if (window != MainWindow && IsDialogClass(window)) {
        *reinterpret_cast<bool*>(lParam) = true;
        return FALSE;
    }
    return TRUE;
}

} // namespace

std::string ReadWholeFile(const std::string& path) {
    std::string bytes;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        return bytes;
    }
    char block[4096];
    DWORD got = 0;
    while (ReadFile(file, block, sizeof block, &got, NULL) && got > 0) {
        bytes.append(block, got);
    }
    CloseHandle(file);
    return bytes;
}

bool WriteWholeFile(const std::string& path, const std::string& bytes) {
    HANDLE file =
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, NULL);
    CloseHandle(file);
    return ok && written == bytes.size();
}

std::vector<std::string> FolderContents(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        if (strcmp(entry.cFileName, ".") != 0 && strcmp(entry.cFileName, "..") != 0) {
            names.push_back(entry.cFileName);
        }
    } while (FindNextFileA(find, &entry));
    FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

std::string Describe(const std::vector<SeenMessageBox>& boxes) {
    std::string text;
    for (const SeenMessageBox& box : boxes) {
        text += "\n  [" + box.caption + "] " + box.text + (box.errorIcon ? " (error icon)" : "") +
                (box.hasYes ? " (yes/no)" : "");
    }
    return text;
}

void ToolWindowTest::SetUp() {
    MainWindowTest::SetUp();
    if (m_language) {
        m_quickSumCaption = std::string(AppCaption) + ": " + ModuleString(m_language, IDS_QUICKSUM_CAPTION);
        m_saveTitle = ModuleString(m_language, IDS_SAVE_TITLE);
    }
}

void ToolWindowTest::TearDown() {
    if (!m_session) {
        return;
    }
    // A dialog the test left open would hold the main window's loop, which
    // then could not end.
    for (int attempt = 0; attempt < 3; ++attempt) {
        HWND open = FindOwnedDialog([](HWND) { return true; });
        if (!open) {
            break;
        }
        PostMessageA(open, WM_CLOSE, 0, 0);
        EXPECT_TRUE(WaitFor([open] { return !IsWindow(open); }, 5000)) << "a dialog did not close";
    }
    if (m_window && IsWindow(m_window)) {
        SendMessageA(m_window, WM_CLOSE, 0, 0);
    }
    INT_PTR result = 0;
    EXPECT_TRUE(m_session->WaitForEnd(&result)) << "the main window did not close";
    std::vector<SeenMessageBox> boxes = Boxes();
    EXPECT_EQ(boxes.size(), m_expectedBoxes) << "message boxes:" << Describe(boxes);
    m_session.reset();
}

// The quick-sum dialog, the save dialog and the about box are owned by the
// main window and carry their own captions; every message box the tools show
// is titled with the program's caption or belongs to the save dialog.
bool ToolWindowTest::IsToolDialog(const SeenMessageBox& box) const {
    if (box.owner != m_window || box.hasYes) {
        return false;
    }
    return box.caption == m_quickSumCaption || (!m_saveTitle.empty() && box.caption == m_saveTitle) ||
           box.caption == AppTitle;
}

std::vector<SeenMessageBox> ToolWindowTest::Boxes() {
    std::vector<SeenMessageBox> boxes;
    for (const SeenMessageBox& box : m_session->Boxes().Seen()) {
        if (!IsToolDialog(box)) {
            boxes.push_back(box);
        }
    }
    return boxes;
}

bool ToolWindowTest::WaitForBoxes(size_t count) {
    return WaitFor([this, count] { return Boxes().size() >= count; });
}

size_t ToolWindowTest::DialogsSeen(const std::string& caption) {
    size_t count = 0;
    for (const SeenMessageBox& box : m_session->Boxes().Seen()) {
        if (box.owner == m_window && box.caption == caption) {
            ++count;
        }
    }
    return count;
}

HWND ToolWindowTest::FindOwnedDialog(const std::function<bool(HWND)>& matches) {
    DialogSearch search = {m_window, &matches, NULL};
    EnumThreadWindows(m_session->ThreadId(), VisitOwnedDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND ToolWindowTest::WaitForOwnedDialog(const std::function<bool(HWND)>& matches) {
    HWND found = NULL;
    WaitFor([&] {
        found = FindOwnedDialog(matches);
        return found != NULL;
    });
    return found;
}

bool ToolWindowTest::MainWindowIdle() {
    // Carried out by whichever message loop the window thread is in; only the
    // main window's own loop has no other dialog around it.
    bool otherDialog = false;
    bool enabled = false;
    m_session->OnWindowThread([&] {
        EnumThreadWindows(GetCurrentThreadId(), VisitOtherDialog, reinterpret_cast<LPARAM>(&otherDialog));
        enabled = IsWindowEnabled(MainWindow) != FALSE;
    });
    return enabled && !otherDialog;
}
