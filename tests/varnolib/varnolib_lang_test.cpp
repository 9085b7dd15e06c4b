// The language modules as the program loads them, and the companion library called by ordinal.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>
#include <set>
#include "companion/varnolib.h"
#include "res/resource.h"

// The strings the program loads, in the blocks of res/resource.h (0 fills a short block).
const int StringIds[][7] = {{IDS_ABOUT_TEXT, IDS_SAVE_HEADING, IDS_CANCEL, IDS_START, IDS_START_EXPANDING,
                             IDS_ALGORITHM_LABEL, IDS_PROGRESS_CAPTION},
                            {IDS_FILE_GROUP, IDS_TOTAL_GROUP, IDS_ASK_FOLDER, IDS_OPEN_FAILED},
                            {IDS_THREAD_FAILED, IDS_CANNOT_STOP, IDS_SAVE_FAILED, IDS_SAVED,
                             IDS_BAD_COMMAND_LINE, IDS_DROP_NO_MEMORY},
                            {IDS_SAVE_TITLE, IDS_QUICKSUM_CAPTION, IDS_TEXT_LABEL, IDS_DIGEST_LABEL}};
std::wstring Text(HMODULE module, int id) {
    wchar_t text[1024];
    return std::wstring(text, LoadStringW(module, id, text, 1024));
}
// The character after each "%" of a string: "ss" for two %s; "?" for a missing string.
std::wstring Formats(const std::wstring& text) {
    std::wstring formats = text.empty() ? L"?" : L"";
    for (size_t i = text.find(L'%'); i < text.size() - 1; i = text.find(L'%', i + 2))
        formats += text[i + 1];
    return formats;
}
// Windows of the tests, all with a sunken edge; they go with the test process.
HWND Make(const char* type, DWORD style, int x, int y, int w, int h, HWND parent = NULL, int id = 0) {
    return CreateWindowExA(WS_EX_CLIENTEDGE, type, "", style, x, y, w, h, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), NULL, NULL);
}
RECT Frame(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    MapWindowPoints(NULL, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
    return r;
}
TEST(LanguageModules, HoldEveryStringAndMenuCommandInBothLanguages) {
    const HMODULE german = LoadLibraryA("lang\\1031.dll"), english = LoadLibraryA("lang\\1033.dll");
    ASSERT_TRUE(german != NULL && english != NULL);
    for (HMODULE module : {german, english}) {
        for (const auto& block : StringIds)
            for (int id : block) // one %s: the folder; two: the algorithm, then the path
                EXPECT_TRUE(id == 0 ||
                            Formats(Text(module, id)) ==
                                std::wstring((id == IDS_ASK_FOLDER) + 2 * (id == IDS_OPEN_FAILED), L's'))
                    << id;
        const HMENU menu = LoadMenuA(module, MAKEINTRESOURCEA(IDR_MAIN_MENU));
        for (UINT id : {IDM_QUICKSUM, IDM_SAVE_LIST, IDM_EXIT, IDM_CLEAR_LIST, IDM_ABOUT})
            EXPECT_NE(GetMenuState(menu, id, MF_BYCOMMAND), static_cast<UINT>(-1)) << id;
        DestroyMenu(menu);
    }
    for (int id : {IDS_ABOUT_TEXT, IDS_CANCEL, IDS_SAVE_HEADING, IDS_ASK_FOLDER})
        EXPECT_NE(Text(german, id), Text(english, id)) << id;
}
TEST(VarnoLib, InitLibraryAcceptsOnlyTheProgramsArguments) {
    InitCommonControls();
    const int32_t bad[][4] = {{0, 0, 0, 0}, {2, 2, 4, 0}, {3, 3, 4, 0}, {3, 2, 5, 0}, {3, 2, 4, 1}};
    for (const auto& a : bad)
        EXPECT_TRUE(InitLibrary(a[0], a[1], a[2], a[3]) == 0 && StartLibrary(VarnoStartNormal) == 0)
            << &a - bad;
    EXPECT_TRUE(InitLibrary(VarnoInterfaceMajor, VarnoInterfaceMinor, VarnoInterfaceRevision,
                            VarnoInterfaceReserved) == 1 &&
                StartLibrary(VarnoStartNormal) == 1);
}
TEST(VarnoLib, AttachLayoutKeepsAnchoredDistancesAndTheStartSizeAsMinimum) {
    // Flags, then how far the left, top, right and bottom edges move: 1 = by the window's growth.
    const int R = AnchorRight, B = AnchorBottom, W = AnchorWidth, H = AnchorHeight, dx = 70, dy = 40;
    const int rows[][5] = {{0, 0, 0, 0, 0}, {R, 1, 0, 1, 0},     {B, 0, 1, 0, 1},     {W, 0, 0, 1, 0},
                           {H, 0, 0, 0, 1}, {R | B, 1, 1, 1, 1}, {W | H, 0, 0, 1, 1}, {R | W, 0, 0, 1, 0}};
    const HWND window = Make("STATIC", WS_OVERLAPPEDWINDOW, 40, 40, 400, 300);
    LayoutEntry table[8];
    for (int i = 0; i < 8; ++i)
        table[i] = {GetDlgCtrlID(Make("BUTTON", WS_CHILD, 10, 20, 30, 40, window, 100 + i)), rows[i][0]};
    ASSERT_EQ(AttachLayout(GetModuleHandleA(NULL), window, NULL, 8, table, LayoutKeepMinimumSize), 1);
    SetWindowPos(window, NULL, 0, 0, 400 + dx, 300 + dy, SWP_NOMOVE | SWP_NOZORDER);
    for (int i = 0; i < 8; ++i) {
        const int* m = rows[i];
        const RECT r = Frame(GetDlgItem(window, 100 + i)),
                   want = {10 + m[1] * dx, 20 + m[2] * dy, 40 + m[3] * dx, 60 + m[4] * dy};
        EXPECT_TRUE(EqualRect(&r, &want)) << i;
    }
    SetWindowPos(window, NULL, 0, 0, 150, 100, SWP_NOMOVE | SWP_NOZORDER); // the start size is the least
    const RECT r = Frame(window);
    EXPECT_TRUE(r.right - r.left == 400 && r.bottom - r.top == 300);
}
TEST(VarnoLib, AttachDialogCentresOverTheOwnerInsideTheWorkArea) {
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const HWND owner = Make("STATIC", WS_OVERLAPPEDWINDOW, 0, 0, 500, 400);
    const HWND dialog = Make("STATIC", WS_POPUP | WS_CAPTION, 0, 0, 200, 100);
    const LONG w = work.right - work.left - 200, h = work.bottom - work.top - 100; // the dialog's room
    // Owner (0: none), its top left corner, then the dialog's, both from the work area's.
    const LONG rows[][5] = {
        {1, 100, 80, 250, 230}, {1, w, h, w, h}, {1, -450, -350, 0, 0}, {0, 0, 0, w / 2, h / 2}};
    for (const auto& row : rows) {
        SetWindowPos(owner, NULL, work.left + row[1], work.top + row[2], 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        EXPECT_EQ(AttachDialog(dialog, row[0] ? owner : NULL), 1);
        const RECT r = Frame(dialog);
        EXPECT_TRUE(r.left == work.left + row[3] && r.top == work.top + row[4]) << row[1];
    }
}
TEST(VarnoLib, StyleWindowTradesAnEditsSunkenEdgesForALineInPlace) {
    const HWND window = Make("STATIC", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300);
    const HWND edit = Make("EDIT", WS_CHILD, 10, 20, 200, 50, window, 1);
    RECT before, after;
    GetClientRect(edit, &before);
    EXPECT_EQ(StyleWindow(window, StyleDialog, StyleWithChildren, StyleNoOptions), 1);
    GetClientRect(edit, &after);
    const RECT frame = Frame(edit), start = {10, 20, 210, 70};
    EXPECT_TRUE(EqualRect(&frame, &start) && after.right > before.right && after.bottom > before.bottom);
}
TEST(VarnoLib, ShowAboutBoxShowsTheRecordsTextsModally) {
    static const HWND owner = Make("STATIC", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 500, 400);
    static std::set<std::string> shown; // texts of the box's controls, and "disabled" for a disabled owner
    static const char* texts[] = {"Digestor 9.8", "(c) Example", "Author", "Checksums.", "Build 41", "OK"};
    const AboutInfo info = {NULL, owner, NULL, texts[0], 41, 0, texts[1], texts[2], texts[2], texts[3]};
    // Runs in the box's message loop; the first box found may be another test process's, for a moment.
    const UINT_PTR timer = SetTimer(NULL, 0, 10, [](HWND, UINT, UINT_PTR, DWORD) {
        const HWND box = FindWindowA("#32770", texts[0]);
        if (GetWindow(box, GW_OWNER) != owner || !IsWindowVisible(box))
            return;
        char text[512];
        for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
            shown.insert(std::string(text, GetWindowTextA(c, text, sizeof(text))));
        if (PostMessageA(box, WM_COMMAND, IDOK, 0) && !IsWindowEnabled(owner))
            shown.insert("disabled");
    });
    EXPECT_EQ(ShowAboutBox(&info), 1);
    KillTimer(NULL, timer);
    EXPECT_TRUE(shown.count("disabled") && IsWindowEnabled(owner));
    for (const char* text : texts)
        EXPECT_EQ(shown.count(text), 1u) << text;
}
