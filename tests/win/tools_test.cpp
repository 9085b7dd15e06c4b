// The menu's tools: the saved list's file, the quick sum, the about box.
#include <fstream>
#include <iterator>

#include "base/app_state.h"
#include "base/palette.h"
#include "res/resource.h"
#include "tests/win/fixture.h"
#include "tools/quick_sum.h"
#include "tools/save_list.h"

namespace {

std::string Read(const std::string& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> Names(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &entry);
    for (BOOL more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileA(find, &entry))
        if (entry.cFileName[0] != '.')
            names.push_back(entry.cFileName);
    FindClose(find);
    return names;
}

// A full disk: half the text goes out, then the write fails.
BOOL FailHalfway(HANDLE file, const void* bytes, DWORD length) {
    DWORD written = 0;
    WriteFile(file, bytes, length / 2, &written, NULL);
    SetLastError(ERROR_DISK_FULL);
    return FALSE;
}

std::string TextOf(HWND window) {
    char text[1024] = "";
    return std::string(text, GetWindowTextA(window, text, sizeof text));
}

std::string Texts(HWND window) {
    std::string texts;
    char text[1024];
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        texts += std::string(text, GetWindowTextA(child, text, sizeof text)) + "\n";
    return texts;
}

BOOL CALLBACK OwnedByFirst(HWND window, LPARAM windows) {
    HWND* found = reinterpret_cast<HWND*>(windows);
    if (GetWindow(window, GW_OWNER) == found[0] && IsWindowVisible(window))
        found[1] = window;
    return TRUE;
}

} // namespace

using Tools = WinTest;

TEST_F(Tools, SavedFileHoldsTheListOrTheOldBytes) {
    // Entries that a format string would garble, and an empty one.
    const std::vector<std::string> entries = {"900150983cd24fb0d6963f7d28e17f72 <- MD5 -> C:\\a b.txt",
                                              "C:\\100% sure\\%s %d %n.txt", ""};
    SetEntries(entries);
    const std::string separator = std::string(80, '-') + "\r\n";
    std::string expected = separator + std::string(17, ' ') + AppTitle + " - " + Text(IDS_SAVE_HEADING) +
                           "\r\n" + separator + "\r\n";
    for (const std::string& entry : entries)
        expected += entry + "\r\n";
    const struct {
        const char* name;
        const char* old; // bytes of the file there before, or none
        DWORD attributes;
        SaveWriteFunction write;
        bool saved;
    } cases[] = {
        {"new", nullptr, 0, nullptr, true},
        {"over a file", "old", FILE_ATTRIBUTE_ARCHIVE, nullptr, true},
        {"over a hidden file", "old", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE, nullptr, true},
        {"failing write, new", nullptr, 0, FailHalfway, false},
        {"failing write over a file", "old", FILE_ATTRIBUTE_ARCHIVE, FailHalfway, false},
        {"over a read-only file", "old", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE, nullptr, false},
    };
    for (const auto& c : cases) {
        const std::string folder = Path(c.name), target = folder + "\\list.txt";
        CreateDirectoryA(folder.c_str(), NULL);
        if (c.old) {
            std::ofstream(target.c_str(), std::ios::binary) << c.old;
            ASSERT_TRUE(SetFileAttributesA(target.c_str(), c.attributes));
            ASSERT_EQ(GetFileAttributesA(target.c_str()), c.attributes) << c.name;
        }
        SetSaveWriteFunction(c.write);
        bool saved = !c.saved;
        OnWindowThread([&] { saved = WriteListFile(target.c_str()); });
        SetSaveWriteFunction(nullptr);
        EXPECT_EQ(saved, c.saved) << c.name;
        EXPECT_EQ(Read(target), c.saved ? expected : c.old ? c.old : "") << c.name;
        // No temporary file is left beside it, whatever happened.
        EXPECT_EQ(Names(folder), std::vector<std::string>(c.saved || c.old ? 1 : 0, "list.txt")) << c.name;
        if (c.old) {
            EXPECT_EQ(GetFileAttributesA(target.c_str()), c.attributes) << c.name;
        }
        SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

TEST_F(Tools, QuickSumDigestsTheTypedLine) {
    HWND dialog = NULL;
    OnWindowThread([&] {
        dialog = CreateDialogParamA(NULL, MAKEINTRESOURCEA(IDD_QUICKSUM), m_window, QuickSumDialogProc, 0);
    });
    ASSERT_TRUE(dialog);
    EXPECT_EQ(TextOf(dialog), "Digestor: " + Text(IDS_QUICKSUM_CAPTION));
    for (const auto& [control, text] :
         {std::make_pair(IDC_TEXT_LABEL, IDS_TEXT_LABEL), std::make_pair(IDC_DIGEST_LABEL, IDS_DIGEST_LABEL),
          std::make_pair(IDC_ALGORITHM_LABEL, IDS_ALGORITHM_LABEL), std::make_pair(IDC_START, IDS_START)})
        EXPECT_EQ(TextOf(GetDlgItem(dialog, control)), Text(text)) << control;
    EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_ALGORITHM, CB_GETCURSEL, 0, 0), DigestMD5);
    // At most the first 8191 bytes count.
    const std::string typed[] = {"", "abc", "message digest", std::string(9000, 'x')};
    for (DigestKind kind : {DigestMD2, DigestMD4, DigestMD5, DigestCRC32})
        for (const std::string& line : typed) {
            char digest[64] = "";
            OnWindowThread([&] {
                SetDlgItemTextA(dialog, IDC_TEXT_INPUT, line.c_str());
                SendDlgItemMessageA(dialog, IDC_ALGORITHM, CB_SETCURSEL, kind, 0);
                SendMessageA(dialog, WM_COMMAND, IDC_START, 0);
                GetDlgItemTextA(dialog, IDC_DIGEST_OUTPUT, digest, sizeof digest);
            });
            DigestorHolder oracle(kind);
            const std::string counted = line.substr(0, 8191);
            oracle->Update(reinterpret_cast<const uint8_t*>(counted.data()), uint32_t(counted.size()));
            oracle->Finish();
            EXPECT_EQ(digest, oracle->DigestText()) << DigestNames[kind] << " of " << line.size();
        }
    OnWindowThread([&] { DestroyWindow(dialog); });
}

TEST_F(Tools, AboutBoxShowsTitleAndText) {
    PostMessageA(m_window, WM_COMMAND, IDM_ABOUT, 0);
    // The box: a visible window of the main window's thread that the main window owns.
    HWND found[2] = {m_window, NULL};
    ASSERT_TRUE(WaitFor([&] {
        EnumThreadWindows(GetWindowThreadProcessId(m_window, NULL), OwnedByFirst,
                          reinterpret_cast<LPARAM>(found));
        return found[1] != NULL;
    }));
    HWND box = found[1];
    const std::string texts = Texts(box);
    EXPECT_NE(texts.find(AppTitle), std::string::npos) << texts;
    EXPECT_NE(texts.find(Text(IDS_ABOUT_TEXT).substr(0, 20)), std::string::npos) << texts;
    EXPECT_FALSE(IsWindowEnabled(m_window)); // modal over the main window
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(m_window) && !IsWindow(box); }));
}

TEST_F(Tools, MainWindowTextsAndLayoutFollowTheFrame) {
    SendMessageA(m_window, WM_COMMAND, IDCANCEL, 0); // Escape does nothing here
    ASSERT_TRUE(IsWindowVisible(m_window)) << "Escape closed the main window";
    EXPECT_EQ(TextOf(m_window), "Digestor");
    EXPECT_EQ(TextOf(Item(IDC_START)), Text(IDS_START));
    EXPECT_EQ(TextOf(Item(IDC_ALGORITHM_LABEL)), Text(IDS_ALGORITHM_LABEL));
    // How each edge of a control moves when the window grows: 1 with the growth, 0 not at all.
    const int moves[][5] = {
        {IDC_FRAME, 0, 0, 0, 1},         {IDC_FILE_LIST, 0, 0, 1, 1},       {IDC_SELECTED_PATH, 0, 1, 1, 1},
        {IDC_MAIN_PROGRESS, 0, 1, 1, 1}, {IDC_ALGORITHM_LABEL, 0, 1, 0, 1}, {IDC_ALGORITHM, 0, 1, 0, 1},
        {IDC_START, 1, 1, 1, 1}};
    auto placed = [this](int id) {
        RECT r;
        GetWindowRect(Item(id), &r);
        MapWindowPoints(NULL, m_window, reinterpret_cast<POINT*>(&r), 2);
        return r;
    };
    RECT window, client, grown;
    GetWindowRect(m_window, &window);
    GetClientRect(m_window, &client);
    std::vector<RECT> before;
    for (const auto& move : moves)
        before.push_back(placed(move[0]));
    SetWindowPos(m_window, NULL, 0, 0, window.right - window.left + 120, window.bottom - window.top + 80,
                 SWP_NOMOVE | SWP_NOZORDER);
    GetClientRect(m_window, &grown);
    const LONG dx = grown.right - client.right, dy = grown.bottom - client.bottom;
    ASSERT_TRUE(dx > 0 && dy > 0);
    for (size_t i = 0; i < before.size(); ++i) {
        const RECT now = placed(moves[i][0]), was = before[i];
        EXPECT_EQ(now.left - was.left, moves[i][1] * dx) << moves[i][0];
        EXPECT_EQ(now.top - was.top, moves[i][2] * dy) << moves[i][0];
        EXPECT_EQ(now.right - was.right, moves[i][3] * dx) << moves[i][0];
        EXPECT_EQ(now.bottom - was.bottom, moves[i][4] * dy) << moves[i][0];
    }
}

TEST_F(Tools, ListPaintsAgainShowsTheSelectionAndClears) {
    File("d\\x", 5);
    Drop({Path("d")});
    ASSERT_TRUE(WaitIdle());
    CloseHandle(Start());
    ASSERT_TRUE(WaitIdle());
    HWND list = Item(IDC_FILE_LIST);
    // A held list has its redraw switched off, which clears WS_VISIBLE.
    EXPECT_TRUE(GetWindowLongPtrA(list, GWL_STYLE) & WS_VISIBLE) << "painting still held after walk and run";
    SetEntries({"first", "second"});
    RECT item;
    SendMessageA(list, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item));
    const POINT inBar = {item.right - 3, (item.top + item.bottom) / 2}; // right of the text
    EXPECT_TRUE(WaitFor(
        [&] {
            HDC dc = GetDC(list);
            const COLORREF shown = GetPixel(dc, inBar.x, inBar.y);
            ReleaseDC(list, dc);
            return shown == LightGrey;
        },
        5000))
        << "the list does not paint its entries";
    SendMessageA(list, LB_SETCURSEL, 1, 0);
    SendMessageA(m_window, WM_COMMAND, MAKEWPARAM(IDC_FILE_LIST, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
    EXPECT_EQ(TextOf(Item(IDC_SELECTED_PATH)), "second");
    EnableWindow(Item(IDC_START), TRUE);
    SendMessageA(m_window, WM_COMMAND, IDM_CLEAR_LIST, 0);
    EXPECT_TRUE(Entries().empty());
    EXPECT_EQ(TextOf(Item(IDC_SELECTED_PATH)), "");
    EXPECT_FALSE(IsWindowEnabled(Item(IDC_START)));
    for (UINT item : {IDM_SAVE_LIST, IDM_CLEAR_LIST})
        EXPECT_TRUE(GetMenuState(GetMenu(m_window), item, MF_BYCOMMAND) & MF_GRAYED) << item;
}
