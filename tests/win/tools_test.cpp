// The menu's tools, the main window's look, and the language modules.
#include <shlwapi.h>

#include <fstream>
#include <iterator>

#include "res/resource.h"
#include "tests/win/fixture.h"
#include "tools/quick_sum.h"
#include "tools/save_list.h"
#include "window/app_state.h"
#include "window/gui_listbox.h"
#include "window/palette.h"

namespace {

std::string Read(const std::string& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

int FileCount(const std::string& folder) {
    WIN32_FIND_DATAA entry;
    int count = 0;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &entry);
    for (BOOL more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileA(find, &entry))
        count += !(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    FindClose(find);
    return count;
}

BOOL FailHalfway(HANDLE file, const void* bytes, DWORD length) { // a full disk
    DWORD written = 0;
    WriteFile(file, bytes, length / 2, &written, NULL);
    return FALSE;
}

// Replaces that fail as the platform's can: before touching anything, or after
// the old file has gone ("unable to move replacement").
BOOL ReplaceKeepsOld(const char*, const char*) { return FALSE; }
BOOL ReplaceDeletesOld(const char* target, const char*) { return !DeleteFileA(target); }
BOOL ReplaceRenamesOld(const char* target, const char*) {
    return !MoveFileA(target, (std::string(target) + ".moved").c_str());
}
BOOL NoMove(const char*, const char*) { return FALSE; }

POINT Centre(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

int DeletesPassedOn = 0;
WNDPROC ChainAfterList = NULL;

LRESULT CALLBACK CountDeletes(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DeletesPassedOn += message == WM_DELETEITEM;
    return CallWindowProcA(ChainAfterList, window, message, wParam, lParam);
}

} // namespace

using Tools = WinTest;

TEST_F(Tools, SavedFileHoldsTheListOrTheOldBytes) {
    const std::vector<std::string> entries = {"900150983cd24fb0d6963f7d28e17f72 <- MD5 -> C:\\a b.txt",
                                              "C:\\100% sure\\%s %d %n.txt", "",   // not formats
                                              "C:\\\xD0\x9F\xD1\x80\xD0\xB8.txt"}; // UTF-8
    SetEntries(entries);
    const std::string rule = std::string(80, '-') + "\r\n";
    std::string expected =
        rule + std::string(17, ' ') + AppTitle + " - " + Text(IDS_SAVE_HEADING) + "\r\n" + rule;
    for (const std::string& entry : entries)
        expected += "\r\n" + entry;
    expected += "\r\n";
    const DWORD A = FILE_ATTRIBUTE_ARCHIVE, H = FILE_ATTRIBUTE_HIDDEN, R = FILE_ATTRIBUTE_READONLY;
    const SaveOutcome Done = SaveDone, Failed = SaveFailed, Aside = SaveAside;
    const struct {
        const char* old; // the file there before, or none
        DWORD attributes;
        SaveWriteFunction write;
        SaveReplaceFunction replace;
        SaveMoveFunction move;
        SaveOutcome outcome;
        int files; // in the folder afterwards
    } cases[] = {{nullptr, 0, nullptr, nullptr, nullptr, Done, 1},
                 {"old", A, nullptr, nullptr, nullptr, Done, 1},
                 {"old", H | A, nullptr, nullptr, nullptr, Done, 1},
                 {nullptr, 0, FailHalfway, nullptr, nullptr, Failed, 0},
                 {"old", A, FailHalfway, nullptr, nullptr, Failed, 1},
                 {"old", R | A, nullptr, nullptr, nullptr, Failed, 1},
                 // The replace fails before, or after it has moved the old list away.
                 {"old", A, nullptr, ReplaceKeepsOld, nullptr, Failed, 1},
                 {"old", A, nullptr, ReplaceDeletesOld, nullptr, Done, 1},
                 {"old", A, nullptr, ReplaceRenamesOld, nullptr, Done, 2},
                 {"old", A, nullptr, ReplaceDeletesOld, NoMove, Aside, 1}};
    for (const auto& c : cases) {
        const std::string folder = Path(std::to_string(&c - cases)), target = folder + "\\list.txt";
        CreateDirectoryA(folder.c_str(), NULL);
        if (c.old) {
            std::ofstream(target.c_str(), std::ios::binary) << c.old;
            ASSERT_TRUE(SetFileAttributesA(target.c_str(), c.attributes) &&
                        GetFileAttributesA(target.c_str()) == c.attributes);
        }
        SetSaveFunctions(c.write, c.replace, c.move);
        SaveOutcome outcome = SaveFailed;
        std::string aside;
        OnWindowThread([&] { outcome = WriteListFile(target.c_str(), aside); });
        SetSaveFunctions(nullptr, nullptr, nullptr);
        SCOPED_TRACE(&c - cases);
        EXPECT_EQ(outcome, c.outcome);
        EXPECT_EQ(Read(target), c.outcome == Done ? expected : c.outcome == Aside ? "" : c.old ? c.old : "");
        EXPECT_EQ(FileCount(folder), c.files) << "a temporary file is left, or a list lost";
        EXPECT_TRUE(c.outcome != Aside || Read(aside) == expected) << aside;
        EXPECT_TRUE(!c.old || c.replace || GetFileAttributesA(target.c_str()) == c.attributes)
            << "attributes lost";
        SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

// The list keeps its texts itself: at the head, middle and end of a long list each operation
// leaves the lines, their order and the selection a list box holding them would (a replaced
// selected entry loses the selection, as when it is removed and inserted), read through the
// list box's own messages, A and W, and saved byte for byte.
TEST_F(Tools, EntryOperationsOnALongListKeepLinesAndSelection) {
    const int Count = 20000;
    std::vector<std::string> model;
    for (int i = 0; i < Count; ++i)
        model.push_back("C:\\tree\\d" + std::to_string(i / 1000) + "\\f" + std::to_string(i) + ".txt");
    SetEntries(model);
    enum Op { Replace, Insert, Delete, Add };
    const std::string wide = "C:\\\xD0\x9F\xD1\x80\xD0\xB8\\" + std::string(400, 'w'); // UTF-8, long
    const struct {
        Op op;
        int index; // -1: the last entry
        int selected;
        const char* text;
    } steps[] = {{Replace, 0, 0, "d41d8cd98f00b204e9800998ecf8427e <- MD5 -> C:\\tree\\d0\\f0.txt"},
                 {Replace, 0, 5, "short"},
                 {Replace, 10000, 10001, nullptr}, // the wide line
                 {Replace, 10000, 10000, "x"},
                 {Replace, -1, 0, "9f <- CRC32 -> the last"},
                 {Replace, -1, -1, ""},
                 {Insert, 0, 0, "inserted at the head"},
                 {Insert, 10000, 9999, "inserted in the middle"},
                 {Insert, -1, 15000, "inserted before the last"},
                 {Delete, 0, 0, nullptr},
                 {Delete, 10000, 10005, nullptr},
                 {Delete, -1, 3, nullptr},
                 {Add, 0, 19999, "appended"}};
    HWND list = Item(IDC_FILE_LIST);
    for (const auto& step : steps) {
        SCOPED_TRACE(&step - steps);
        const int index = step.index < 0 ? static_cast<int>(model.size()) - 1 : step.index;
        const std::string text = step.text ? step.text : wide;
        int selected = step.selected;
        LRESULT done = LB_ERR;
        OnWindowThread([&] {
            FileList->SetSelection(selected);
            switch (step.op) {
            case Replace:
                done = FileList->ReplaceEntry(index, text.c_str());
                break;
            case Insert:
                done = FileList->InsertEntry(index, text.c_str());
                break;
            case Delete:
                done = FileList->DeleteEntry(index);
                break;
            case Add:
                done = FileList->AddEntry(text.c_str());
                break;
            }
        });
        ASSERT_NE(done, LB_ERR);
        switch (step.op) {
        case Replace:
            model[index] = text;
            selected = selected == index ? -1 : selected;
            break;
        case Insert:
            model.insert(model.begin() + index, text);
            selected += index <= selected;
            break;
        case Delete:
            model.erase(model.begin() + index);
            selected = selected == index ? -1 : selected - (index < selected);
            break;
        case Add:
            model.push_back(text);
            break;
        }
        EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), selected);
        ASSERT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), static_cast<LRESULT>(model.size()));
        for (int k = std::max(0, index - 1);
             k <= std::min<int>(index + 1, static_cast<int>(model.size()) - 1); ++k) {
            char line[PathBufferSize] = {};
            EXPECT_EQ(SendMessageA(list, LB_GETTEXTLEN, k, 0), static_cast<LRESULT>(model[k].size()));
            SendMessageA(list, LB_GETTEXT, k, reinterpret_cast<LPARAM>(line));
            EXPECT_EQ(line, model[k]) << k;
            wchar_t wideLine[PathBufferSize] = {};
            const LRESULT length = SendMessageW(list, LB_GETTEXT, k, reinterpret_cast<LPARAM>(wideLine));
            EXPECT_EQ(length, static_cast<LRESULT>(wcslen(wideLine)));
            char back[PathBufferSize * 3] = {};
            WideCharToMultiByte(CP_UTF8, 0, wideLine, -1, back, sizeof back, NULL, NULL);
            EXPECT_EQ(back, model[k]) << k;
        }
    }
    EXPECT_EQ(Entries(), model);
    const std::string target = Path("long.txt");
    std::string aside;
    SaveOutcome outcome = SaveFailed;
    OnWindowThread([&] { outcome = WriteListFile(target.c_str(), aside); });
    ASSERT_EQ(outcome, SaveDone);
    const std::string rule = std::string(80, '-') + "\r\n";
    std::string expected =
        rule + std::string(17, ' ') + AppTitle + " - " + Text(IDS_SAVE_HEADING) + "\r\n" + rule + "\r\n";
    for (const std::string& entry : model)
        expected += entry + "\r\n";
    EXPECT_EQ(Read(target), expected);
    OnWindowThread([] { FileList->ClearEntries(); });
    EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(SendMessageA(list, LB_GETTEXTLEN, 0, 0), LB_ERR);
}

// File > Save list through its dialog: a save that works tells so and leaves no entry selected; one
// that fails says so and leaves the old file.
TEST_F(Tools, SaveThroughTheWindowTellsHowItWent) {
    const std::string target = Path("report.txt"), entry = "OK <- SHA256 -> C:\\a.txt";
    std::ofstream(target.c_str(), std::ios::binary) << "old";
    SetEntries({entry});
    SendMessageA(Item(IDC_FILE_LIST), LB_SETCURSEL, 0, 0);
    m_allowedBoxes = {Text(IDS_SAVED), Text(IDS_SAVE_FAILED)};
    for (SaveWriteFunction write : {FailHalfway, static_cast<SaveWriteFunction>(nullptr)}) {
        SetSaveFunctions(write, nullptr, nullptr);
        const size_t boxes = Boxes().size();
        PostMessageA(m_window, WM_COMMAND, IDM_SAVE_LIST, 0);
        HWND dialog = NULL, field = NULL; // the save dialog's file name, in either style
        ASSERT_TRUE(WaitFor([&] {
            dialog = FindWindowExA(NULL, NULL, "#32770", NULL);
            while (dialog && !(GetWindow(dialog, GW_OWNER) == m_window && IsWindowVisible(dialog)))
                dialog = FindWindowExA(NULL, dialog, "#32770", NULL);
            field = dialog ? GetDlgItem(dialog, 0x480) : NULL;
            HWND combo = FindWindowExA(GetDlgItem(dialog, 0x47C), NULL, "ComboBox", NULL);
            field = field ? field : FindWindowExA(combo, NULL, "Edit", NULL);
            return field != NULL;
        }));
        SendMessageW(field, WM_SETTEXT, 0,
                     reinterpret_cast<LPARAM>(std::wstring(target.begin(), target.end()).c_str()));
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
        // The overwrite question is answered Yes; then the outcome.
        ASSERT_TRUE(WaitFor([&] { return Boxes().size() >= boxes + 2 && IsWindowEnabled(m_window); }))
            << Boxes().size() - boxes;
        SetSaveFunctions(nullptr, nullptr, nullptr);
        EXPECT_EQ(Boxes().back().text, Text(write ? IDS_SAVE_FAILED : IDS_SAVED));
        const std::string saved = Read(target);
        EXPECT_EQ(saved.substr(saved.size() - (write ? 3 : entry.size() + 2)),
                  write ? "old" : entry + "\r\n");
    }
    EXPECT_EQ(SendMessageA(Item(IDC_FILE_LIST), LB_GETCURSEL, 0, 0), LB_ERR) << "an entry still selected";
    for (const SeenBox& box : Boxes()) // the platform's overwrite question, in its own words
        if (box.flags & MB_YESNO)
            m_allowedBoxes.insert(box.text);
}

TEST_F(Tools, QuickSumDigestsTheTypedLine) {
    HWND dialog = NULL;
    SetWindowPos(m_window, NULL, 20, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER); // not where the screen's centre is
    OnWindowThread([&] {
        dialog = CreateDialogParamA(NULL, MAKEINTRESOURCEA(IDD_QUICKSUM), m_window, QuickSumDialogProc, 0);
    });
    ASSERT_TRUE(dialog);
    ExpectTexts(dialog, IDS_QUICKSUM_CAPTION,
                {{IDC_TEXT_LABEL, IDS_TEXT_LABEL},
                 {IDC_DIGEST_LABEL, IDS_DIGEST_LABEL},
                 {IDC_ALGORITHM_LABEL, IDS_ALGORITHM_LABEL},
                 {IDC_START, IDS_START}});
    EXPECT_TRUE(Centre(dialog).x == Centre(m_window).x && Centre(dialog).y == Centre(m_window).y);
    EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_ALGORITHM, CB_GETCURSEL, 0, 0), 2); // MD5
    // Typed text goes in as UTF-16; its UTF-8 bytes are digested, as other systems do.
    const struct {
        const wchar_t* typed;
        std::string bytes;
    } lines[] = {{L"", ""},
                 {L"abc", "abc"},
                 {L"Gr\u00FC\u00DFe \u041F", "Gr\xC3\xBC\xC3\x9F"
                                             "e \xD0\x9F"}};
    for (int place = 0; place < 12; ++place)
        for (const auto& line : lines) {
            const DigestKind kind = BoxOrder[place];
            char digest[160] = "";
            OnWindowThread([&] {
                SetDlgItemTextW(dialog, IDC_TEXT_INPUT, line.typed);
                SendDlgItemMessageA(dialog, IDC_ALGORITHM, CB_SETCURSEL, place, 0);
                SendMessageA(dialog, WM_COMMAND, IDC_START, 0);
                GetDlgItemTextA(dialog, IDC_DIGEST_OUTPUT, digest, sizeof digest);
            });
            EXPECT_EQ(digest, DigestOf(kind, line.bytes)) << DigestNames[kind] << line.bytes;
        }
    // A paste longer than the box takes is cut where the user sees it: the digest is the box's text.
    const std::string pasted(40000, 'y');
    HGLOBAL clip = GlobalAlloc(GMEM_MOVEABLE, pasted.size() + 1);
    memcpy(GlobalLock(clip), pasted.c_str(), pasted.size() + 1);
    GlobalUnlock(clip);
    char digest[160] = "";
    LRESULT limit = 0;
    OnWindowThread([&] {
        ASSERT_TRUE(OpenClipboard(dialog) && EmptyClipboard() && SetClipboardData(CF_TEXT, clip) &&
                    CloseClipboard());
        SetDlgItemTextA(dialog, IDC_TEXT_INPUT, "");
        SendDlgItemMessageA(dialog, IDC_TEXT_INPUT, WM_PASTE, 0, 0);
        SendDlgItemMessageA(dialog, IDC_ALGORITHM, CB_SETCURSEL, DigestCRC32, 0);
        limit = SendDlgItemMessageA(dialog, IDC_TEXT_INPUT, EM_GETLIMITTEXT, 0, 0);
        SendMessageA(dialog, WM_COMMAND, IDC_START, 0);
        GetDlgItemTextA(dialog, IDC_DIGEST_OUTPUT, digest, sizeof digest);
    });
    EXPECT_EQ(digest, DigestOf(DigestCRC32, pasted.substr(0, static_cast<size_t>(limit))));
    // SHA-256 of "abc" as FIPS 180-4 publishes it (and sha256sum prints it).
    OnWindowThread([&] {
        SetDlgItemTextA(dialog, IDC_TEXT_INPUT, "abc");
        SendDlgItemMessageA(dialog, IDC_ALGORITHM, CB_SETCURSEL, DigestSHA256, 0);
        SendMessageA(dialog, WM_COMMAND, IDC_START, 0);
        GetDlgItemTextA(dialog, IDC_DIGEST_OUTPUT, digest, sizeof digest);
    });
    EXPECT_STREQ(digest, "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    OnWindowThread([&] { DestroyWindow(dialog); });
}

// A digest copied from elsewhere (capitals, spaces, text around) picks its result line out of the list.
TEST_F(Tools, CompareWithClipboardSelectsTheEntryWithTheDigest) {
    const std::string a = File("a.txt", 10), b = File("b.txt", 20), md5 = DigestOf(DigestMD5, ReadBytes(b));
    SetEntries({"C:\\x", ResultLine(DigestMD4, b), ResultLine(DigestMD5, a), ResultLine(DigestMD5, b)});
    std::wstring copied = L"Pr\u00FCfsumme: " + std::wstring(md5.begin(), md5.begin() + 16) + L" " +
                          std::wstring(md5.begin() + 16, md5.end()) + L" ok";
    CharUpperW(&copied[0]);
    m_allowedBoxes = {Text(IDS_COMPARE_MATCH, b), Text(IDS_COMPARE_NO_DIGEST)};
    for (const std::wstring& text : {copied, copied.substr(0, 30)}) { // the second holds half a digest
        const size_t size = (text.size() + 1) * sizeof(wchar_t);
        HGLOBAL clip = GlobalAlloc(GMEM_MOVEABLE, size);
        memcpy(GlobalLock(clip), text.c_str(), size);
        GlobalUnlock(clip);
        OnWindowThread([&] {
            ASSERT_TRUE(OpenClipboard(m_window) && EmptyClipboard() &&
                        SetClipboardData(CF_UNICODETEXT, clip) && CloseClipboard());
        });
        SendMessageA(m_window, WM_COMMAND, IDM_COMPARE_CLIPBOARD, 0);
    }
    const std::vector<SeenBox> boxes = Boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_TRUE(boxes[0].text == Text(IDS_COMPARE_MATCH, b) && boxes[0].flags == MB_ICONINFORMATION &&
                boxes[0].owner == m_window);
    EXPECT_TRUE(boxes[1].text == Text(IDS_COMPARE_NO_DIGEST) && boxes[1].flags == MB_ICONERROR);
    EXPECT_EQ(SendMessageA(Item(IDC_FILE_LIST), LB_GETCURSEL, 0, 0), 3);
    EXPECT_EQ(WindowText(Item(IDC_SELECTED_PATH)), ResultLine(DigestMD5, b));
}

TEST_F(Tools, MainWindowTextsAndLayoutFollowTheFrame) {
    SendMessageA(m_window, WM_COMMAND, IDCANCEL, 0); // Escape does nothing here
    ASSERT_TRUE(IsWindowVisible(m_window)) << "Escape closed the main window";
    EXPECT_EQ(WindowText(m_window), "Digestor");
    ExpectTexts(m_window, 0, {{IDC_START, IDS_START}, {IDC_ALGORITHM_LABEL, IDS_ALGORITHM_LABEL}});
    // The algorithm box: every name in this order, MD5 chosen, all twelve in sight when it opens.
    HWND box = Item(IDC_ALGORITHM);
    std::vector<std::string> names;
    for (int i = 0; i < SendMessageA(box, CB_GETCOUNT, 0, 0); ++i) {
        char name[32] = "";
        SendMessageA(box, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(name));
        names.push_back(name);
    }
    EXPECT_EQ(names, std::vector<std::string>({"MD2", "MD4", "MD5", "CRC32", "SHA1", "SHA256", "SHA512",
                                               "SHA3-256", "SHA3-512", "BLAKE3", "XXH3", "XXH128"}));
    EXPECT_EQ(SendMessageA(box, CB_GETCURSEL, 0, 0), 2); // MD5
    COMBOBOXINFO info = {};
    info.cbSize = sizeof info;
    RECT shown = {};
    OnWindowThread([&] {
        SendMessageA(box, CB_SHOWDROPDOWN, TRUE, 0);
        GetComboBoxInfo(box, &info);
        GetClientRect(info.hwndList, &shown);
        SendMessageA(box, CB_SHOWDROPDOWN, FALSE, 0);
    });
    EXPECT_GE(shown.bottom / SendMessageA(info.hwndList, LB_GETITEMHEIGHT, 0, 0), 12);
    // How each edge (left, top, right, bottom) moves when the window grows: 1 with it, 0 not at all.
    const int moves[][5] = {
        {IDC_FRAME, 0, 0, 0, 1},         {IDC_FILE_LIST, 0, 0, 1, 1},       {IDC_SELECTED_PATH, 0, 1, 1, 1},
        {IDC_MAIN_PROGRESS, 0, 1, 1, 1}, {IDC_ALGORITHM_LABEL, 0, 1, 0, 1}, {IDC_ALGORITHM, 0, 1, 0, 1},
        {IDC_START, 1, 1, 1, 1}};
    RECT window, client, grown, now, was[7];
    GetWindowRect(m_window, &window);
    GetClientRect(m_window, &client);
    for (int i = 0; i < 7; ++i)
        GetWindowRect(Item(moves[i][0]), &was[i]);
    const int width = window.right - window.left, height = window.bottom - window.top;
    SetWindowPos(m_window, NULL, 0, 0, width + 120, height + 80, SWP_NOMOVE | SWP_NOZORDER);
    GetClientRect(m_window, &grown);
    const LONG dx = grown.right - client.right, dy = grown.bottom - client.bottom;
    ASSERT_TRUE(dx > 0 && dy > 0);
    for (int i = 0; i < 7; ++i) {
        GetWindowRect(Item(moves[i][0]), &now);
        const RECT want = {was[i].left + moves[i][1] * dx, was[i].top + moves[i][2] * dy,
                           was[i].right + moves[i][3] * dx, was[i].bottom + moves[i][4] * dy};
        EXPECT_TRUE(EqualRect(&now, &want)) << moves[i][0];
    }
    SetWindowPos(m_window, NULL, 0, 0, 50, 40, SWP_NOMOVE | SWP_NOZORDER); // the start size is the least
    GetWindowRect(m_window, &now);
    EXPECT_TRUE(now.right - now.left == width && now.bottom - now.top == height);
}

// Wine sends no WM_DPICHANGED on a move, so the test sends it as Windows does.
TEST_F(Tools, MainWindowFollowsAMoveToAScreenOfAnotherDpi) {
    const int from = static_cast<int>(GetDpiForWindow(m_window)), to = 144;
    ASSERT_NE(from, to) << "the prefix is already at the DPI the window moves to";
    HWND list = Item(IDC_FILE_LIST);
    const int row = static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
    RECT was, listWas, now;
    GetWindowRect(m_window, &was);
    GetWindowRect(list, &listWas);
    MapWindowPoints(NULL, m_window, reinterpret_cast<POINT*>(&listWas), 2);
    const int width = MulDiv(was.right - was.left, to, from), height = MulDiv(was.bottom - was.top, to, from);
    RECT suggested = {was.left + 10, was.top + 20, was.left + 40 + width, was.top + 50 + height};
    SendMessageA(m_window, WM_DPICHANGED, MAKEWPARAM(to, to), reinterpret_cast<LPARAM>(&suggested));
    GetWindowRect(m_window, &now);
    EXPECT_TRUE(EqualRect(&now, &suggested));
    EXPECT_EQ(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0), MulDiv(row, to, from));
    GetWindowRect(list, &now);
    MapWindowPoints(NULL, m_window, reinterpret_cast<POINT*>(&now), 2);
    EXPECT_TRUE(now.left == MulDiv(listWas.left, to, from) && now.top == MulDiv(listWas.top, to, from));
    ICONINFO icon = {};
    ASSERT_TRUE(GetIconInfo(reinterpret_cast<HICON>(SendMessageA(m_window, WM_GETICON, ICON_BIG, 0)), &icon));
    BITMAP bits = {};
    GetObjectA(icon.hbmColor, sizeof bits, &bits);
    EXPECT_EQ(bits.bmWidth, GetSystemMetricsForDpi(SM_CXICON, to));
    DeleteObject(icon.hbmColor);
    DeleteObject(icon.hbmMask);
    SetWindowPos(m_window, NULL, 0, 0, 50, 40,
                 SWP_NOMOVE | SWP_NOZORDER); // the scaled start size is the least
    GetWindowRect(m_window, &now);
    EXPECT_TRUE(now.right - now.left == width && now.bottom - now.top == height);
}

TEST_F(Tools, ListPaintsAgainShowsTheSelectionAndClears) {
    File("d\\x", 5);
    Drop({Path("d")});
    ASSERT_TRUE(WaitIdle());
    CloseHandle(Start());
    ASSERT_TRUE(WaitIdle());
    // While a walk fills the list, a save would write half of it.
    auto saveOffered = [this] {
        return !(GetMenuState(GetMenu(m_window), IDM_SAVE_LIST, MF_BYCOMMAND) & MF_GRAYED);
    };
    bool offeredDuringWalk = true;
    OnWindowThread([&] {
        Drop({Path("d")});
        offeredDuringWalk = saveOffered();
    });
    EXPECT_FALSE(offeredDuringWalk);
    ASSERT_TRUE(WaitIdle());
    EXPECT_TRUE(saveOffered());
    HWND list = Item(IDC_FILE_LIST);
    SetEntries({"first", "second"});
    RECT item;
    SendMessageA(list, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item));
    EXPECT_TRUE(WaitFor([&] { // the bar beside the text, once painted after the walk and the run
        HDC dc = GetDC(list);
        const COLORREF shown = GetPixel(dc, item.right - 3, (item.top + item.bottom) / 2);
        ReleaseDC(list, dc);
        return shown == LightGrey;
    })) << "the list does not paint its entries";
    SendMessageA(list, LB_SETCURSEL, 1, 0);
    SendMessageA(m_window, WM_COMMAND, MAKEWPARAM(IDC_FILE_LIST, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
    EXPECT_EQ(WindowText(Item(IDC_SELECTED_PATH)), "second");
    EnableWindow(Item(IDC_START), TRUE);
    SendMessageA(m_window, WM_COMMAND, IDM_CLEAR_LIST, 0);
    EXPECT_TRUE(Entries().empty() && WindowText(Item(IDC_SELECTED_PATH)).empty());
    EXPECT_FALSE(IsWindowEnabled(Item(IDC_START)));
    for (UINT item : {IDM_SAVE_LIST, IDM_CLEAR_LIST})
        EXPECT_TRUE(GetMenuState(GetMenu(m_window), item, MF_BYCOMMAND) & MF_GRAYED) << item;
}

// A name in another script is drawn as itself: its black text ends where the font's extent of the
// name says, not twice as far, as its UTF-8 bytes read as single characters would.
TEST_F(Tools, EntriesInOtherScriptsArePaintedAsThemselves) {
    const std::wstring name = L"\u041F\u0440\u0438\u0432\u0435\u0442 \u65E5\u672C.txt";
    char utf8[64] = "";
    WideCharToMultiByte(CP_UTF8, 0, name.c_str(), -1, utf8, sizeof utf8, NULL, NULL);
    SetEntries({utf8});
    HWND list = Item(IDC_FILE_LIST);
    RECT item;
    SendMessageA(list, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item));
    const int width = item.right - item.left, height = item.bottom - item.top;
    HDC dc = GetDC(list), copy = CreateCompatibleDC(dc);
    HGDIOBJ font = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(list, WM_GETFONT, 0, 0)));
    SIZE extent = {};
    GetTextExtentPoint32W(dc, name.c_str(), static_cast<int>(name.size()), &extent);
    SelectObject(dc, font);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, width, height);
    HGDIOBJ old = SelectObject(copy, bitmap);
    std::vector<COLORREF> pixels(static_cast<size_t>(width * height));
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    int rightmost = -1; // the last column with text in it
    EXPECT_TRUE(WaitFor([&] {
        BitBlt(copy, 0, 0, width, height, dc, item.left, item.top, SRCCOPY);
        GetDIBits(copy, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
        rightmost = -1;
        for (int i = 0; i < width * height; ++i)
            rightmost = (pixels[i] & 0xFFFFFF) == 0 && i % width > rightmost ? i % width : rightmost;
        return rightmost > 0 && abs(rightmost - 5 - extent.cx) <= 3; // the text starts 5 pixels in
    })) << rightmost
        << " for an extent of " << extent.cx;
    SelectObject(copy, old);
    DeleteObject(bitmap);
    DeleteDC(copy);
    ReleaseDC(list, dc);
}

// The list box reports every removed entry to the main window; further down its chain each report
// costs a property read, under Wine seconds for a list of 100,000, so the list's own procedure ends it.
TEST_F(Tools, ClearingPassesNoMessagePerEntryDownTheChain) {
    SendMessageA(Item(IDC_FILE_LIST), WM_SETREDRAW, FALSE, 0); // a repaint per entry takes milliseconds
    SetEntries(std::vector<std::string>(1000, "Z:\\x"));
    SendMessageA(Item(IDC_FILE_LIST), WM_SETREDRAW, TRUE, 0);
    GuiListboxStyle* style = static_cast<GuiListboxStyle*>(GetPropA(m_window, GuiListboxProperty));
    ASSERT_TRUE(style);
    OnWindowThread([style] {
        ChainAfterList = style->parentProc;
        style->parentProc = CountDeletes;
    });
    OnWindowThread([style] {
        FileList->ClearEntries();
        style->parentProc = ChainAfterList;
    });
    EXPECT_EQ(DeletesPassedOn, 0);
    EXPECT_TRUE(Entries().empty());
}

// Every string the program loads and every menu command in both modules, each string with the
// placeholders the code fills in; German where the two should differ.
TEST(LanguageModules, HoldEveryStringAndCommandInBothLanguages) {
    // Each string with the placeholders the code fills in.
    const std::pair<UINT, const char*> strings[] = {{IDS_ABOUT_TEXT, ""},
                                                    {IDS_SAVE_HEADING, ""},
                                                    {IDS_CANCEL, ""},
                                                    {IDS_START, ""},
                                                    {IDS_START_EXPANDING, ""},
                                                    {IDS_ALGORITHM_LABEL, ""},
                                                    {IDS_PROGRESS_CAPTION, ""},
                                                    {IDS_FILE_GROUP, ""},
                                                    {IDS_TOTAL_GROUP, ""},
                                                    {IDS_ASK_FOLDER, "s"},
                                                    {IDS_OPEN_FAILED, "ss"},
                                                    {IDS_CANNOT_LIST, "s"},
                                                    {IDS_PATH_TOO_LONG, "s"},
                                                    {IDS_NAME_NOT_SHOWN, "s"},
                                                    {IDS_VERDICT_OK, ""},
                                                    {IDS_VERDICT_FAILED, ""},
                                                    {IDS_VERDICT_MISSING, ""},
                                                    {IDS_VERDICT_READ_ERROR, ""},
                                                    {IDS_THREAD_FAILED, ""},
                                                    {IDS_CANNOT_STOP, ""},
                                                    {IDS_SAVE_FAILED, ""},
                                                    {IDS_SAVED, ""},
                                                    {IDS_BAD_COMMAND_LINE, ""},
                                                    {IDS_DROP_NO_MEMORY, ""},
                                                    {IDS_BAD_ARGUMENTS, "s"},
                                                    {IDS_SAVE_KEPT, "s"},
                                                    {IDS_COMPARE_MATCH, "s"},
                                                    {IDS_COMPARE_NONE, ""},
                                                    {IDS_COMPARE_NO_DIGEST, ""},
                                                    {IDS_CHECK_REPLACE, ""},
                                                    {IDS_CHECK_TALLY, "ddddd"},
                                                    {IDS_CHECK_NOTHING, "s"},
                                                    {IDS_LIST_UNREADABLE, "s"},
                                                    {IDS_CHECK_TALLY_RECORDED, "ddddddddd"},
                                                    {IDS_UPDATE_ASK, "sdddd"},
                                                    {IDS_UPDATE_DONE, "s"},
                                                    {IDS_UPDATE_CHANGED, "s"},
                                                    {IDS_RECORD_CLEAR, ""},
                                                    {IDS_RECORD_REPLACE, "s"},
                                                    {IDS_RECORD_SAVED, "s"},
                                                    {IDS_RECORD_PARTLY, "sd"},
                                                    {IDS_RECORD_NOTHING, "s"},
                                                    {IDS_RECORD_TITLE, ""},
                                                    {IDS_SAVE_TITLE, ""},
                                                    {IDS_QUICKSUM_CAPTION, ""},
                                                    {IDS_TEXT_LABEL, ""},
                                                    {IDS_DIGEST_LABEL, ""},
                                                    {IDS_CHECK_TITLE, ""},
                                                    {IDS_UNKNOWN_ALGORITHM, "s"},
                                                    {IDS_ITEMS_UNREADABLE, "s"},
                                                    {IDS_NOT_A_FOLDER, "s"},
                                                    {IDS_COMMAND_LINE_FORMS, "s"},
                                                    {IDS_COMPARE_TALLY, "ssddddddd"},
                                                    {IDS_COMPARE_UNREADABLE, "s"},
                                                    {IDS_COMPARE_SAME_FOLDER, "s"},
                                                    {IDS_COMPARE_COPY_INSIDE, "ss"},
                                                    {IDS_COMPARE_OTHER_FORM, "ss"},
                                                    {IDS_COMPARE_RECORD_FAILED, "s"},
                                                    {IDS_MENU_DIGESTOR, ""},
                                                    {IDS_MENU_DIGEST_WITH, ""},
                                                    {IDS_MENU_RECORD, ""},
                                                    {IDS_MENU_CHECK, ""},
                                                    {IDS_MENU_DIGEST_HELP, ""},
                                                    {IDS_MENU_RECORD_HELP, ""},
                                                    {IDS_MENU_CHECK_HELP, ""},
                                                    {IDS_PAGE_TITLE, ""},
                                                    {IDS_PAGE_ALGORITHMS, ""},
                                                    {IDS_PAGE_NAME_COLUMN, ""},
                                                    {IDS_PAGE_RECORDED_COLUMN, ""},
                                                    {IDS_PAGE_COMPARE_LABEL, ""},
                                                    {IDS_PAGE_COPY_ALL, ""},
                                                    {IDS_PAGE_SAVE, ""},
                                                    {IDS_PAGE_READING, "12"},
                                                    {IDS_PAGE_DONE, "1"},
                                                    {IDS_PAGE_FOLDERS_LEFT_OUT, "1"},
                                                    {IDS_PAGE_FOLDER_LEFT_OUT, ""},
                                                    {IDS_PAGE_OPEN_FAILED, ""},
                                                    {IDS_PAGE_READ_FAILED, ""},
                                                    {IDS_PAGE_WAITING, ""},
                                                    {IDS_PAGE_MATCH, "12"},
                                                    {IDS_PAGE_MATCH_ONE, "1"},
                                                    {IDS_PAGE_NO_MATCH, ""},
                                                    {IDS_PAGE_NO_DIGEST, ""},
                                                    {IDS_PAGE_MATCH_WAIT, ""},
                                                    {IDS_PAGE_VERDICT_CELL, "123"},
                                                    {IDS_PAGE_SAVE_TITLE, ""},
                                                    {IDS_PAGE_SAVE_FILTER, "1"},
                                                    {IDS_PAGE_SAVE_FAILED, "1"},
                                                    {IDS_PAGE_SAVED, "1"}};
    char folder[MAX_PATH];
    GetModuleFileNameA(NULL, folder, MAX_PATH);
    PathRemoveFileSpecA(folder);
    HMODULE modules[2];
    for (int k = 0; k < 2; ++k)
        ASSERT_TRUE(modules[k] = LoadLibraryA(
                        (folder + std::string(k ? "\\lang\\1033.dll" : "\\lang\\1031.dll")).c_str()));
    int same = 0;
    for (const auto& [id, want] : strings) {
        std::string text[2], placeholders[2];
        for (int k = 0; k < 2; ++k) {
            char loaded[1024] = "";
            text[k] = std::string(loaded, LoadStringA(modules[k], id, loaded, sizeof loaded));
            for (size_t at = text[k].find('%'); at < text[k].size() - 1; at = text[k].find('%', at + 2))
                placeholders[k] += text[k][at + 1];
        }
        EXPECT_TRUE(!text[0].empty() && !text[1].empty() && placeholders[0] == want &&
                    placeholders[1] == want)
            << id;
        same += text[0] == text[1];
    }
    // "Text:", "OK", "Digestor", "Name" and "..." read the same in both.
    EXPECT_LE(same, 5) << "strings the German module holds in English";
    for (HMODULE module : modules) {
        HMENU menu = LoadMenuA(module, MAKEINTRESOURCEA(IDR_MAIN_MENU));
        for (UINT id : {IDM_QUICKSUM, IDM_CHECK_LIST, IDM_UPDATE_LIST, IDM_RECORD_FOLDER, IDM_COMPARE_FOLDERS,
                        IDM_SAVE_LIST, IDM_EXIT, IDM_CLEAR_LIST, IDM_COMPARE_CLIPBOARD, IDM_ABOUT})
            EXPECT_NE(GetMenuState(menu, id, MF_BYCOMMAND), static_cast<UINT>(-1)) << id;
        DestroyMenu(menu);
        FreeLibrary(module);
    }
}
