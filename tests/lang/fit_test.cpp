// Every window the program and its Explorer extension show, in every language module, mirrored where the
// language reads from right to left, at 96 DPI and again at 144 in a process of its own: each label,
// button, check box, group title and column heading shows its whole text in the control's own font (the
// progress readouts with wide amounts, the tab's status lines with what they say), and each control lies
// inside its window.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "app/main_dialog.h"
#include "base/language_choice.h"
#include "base/program_identity.h"
#include "base/program_state.h"
#include "companion/varnolib.h"
#include "drive/explorer_host.h"
#include "drive/wide_text.h"
#include "res/resource.h"
#include "run/progress_dialog.h"
#include "run/progress_readouts.h"
#include "tools/compare_folders.h"
#include "tools/quick_sum.h"
#include "tools/show_about.h"
#include "window/app_state.h"
#include "window/main_look.h"
#include "window/private_messages.h"
#include "window/program_dialog.h"
#include "window/show_message.h"

namespace {

// Set for the child that runs the checks again: the DPI it must find.
const char DpiVariable[] = "DIGESTOR_FIT_DPI";
const DWORD RaisedDpi = 144;
const int PollLimitMs = 20000;
const uint64_t GB = 1ull << 30;

std::wstring TextOf(HWND control) {
    wchar_t text[1024] = L"";
    return std::wstring(text, GetWindowTextW(control, text, 1024));
}

SIZE Extent(HWND control, const std::wstring& text, UINT format, int width) {
    HDC dc = GetDC(control);
    HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0)));
    RECT rect = {0, 0, width, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect, format | DT_CALCRECT);
    SelectObject(dc, previous);
    ReleaseDC(control, dc);
    return SIZE{rect.right, rect.bottom};
}

// The room the text takes beside itself: a button's frame, a check box's glyph, a group's inset.
int Beside(HWND control, int lineHeight) {
    char name[16] = "";
    GetClassNameA(control, name, sizeof name);
    const LONG type = GetWindowLongA(control, GWL_STYLE) & BS_TYPEMASK;
    if (lstrcmpiA(name, "Button") != 0) {
        return 0;
    }
    if (type == BS_GROUPBOX) {
        return lineHeight;
    }
    if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) {
        return 2 * GetSystemMetrics(SM_CXEDGE);
    }
    return GetSystemMetrics(SM_CXMENUCHECK);
}

// Each column heading of a report list within its column, inside the header's margins.
void ExpectHeadingsFit(HWND list, const std::string& where) {
    HWND header = ListView_GetHeader(list);
    const int margins = 2 * static_cast<int>(SendMessageW(header, HDM_GETBITMAPMARGIN, 0, 0));
    for (int k = 0; k < Header_GetItemCount(header); ++k) {
        wchar_t text[256] = L"";
        HDITEMW item = {};
        item.mask = HDI_TEXT | HDI_WIDTH;
        item.pszText = text;
        item.cchTextMax = 256;
        SendMessageW(header, HDM_GETITEMW, k, reinterpret_cast<LPARAM>(&item));
        EXPECT_LE(Extent(header, text, DT_SINGLELINE, 0).cx + margins, item.cxy)
            << where << " column " << k << " \"" << Utf8(text) << "\" is cut off";
    }
}

// Failures name the language, the DPI, the window and the control with its text.
void ExpectFits(HWND dialog, const std::string& where) {
    RECT inside = {};
    GetClientRect(dialog, &inside);
    for (HWND control = GetWindow(dialog, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
        const std::wstring text = TextOf(control);
        const std::string named =
            where + " control " + std::to_string(GetDlgCtrlID(control)) + " \"" + Utf8(text) + "\"";
        if (!IsWindowVisible(control)) {
            continue;
        }
        RECT rect = {};
        GetWindowRect(control, &rect);
        MapWindowPoints(NULL, dialog, reinterpret_cast<POINT*>(&rect), 2);
        EXPECT_TRUE(rect.left >= 0 && rect.right <= inside.right && rect.bottom <= inside.bottom)
            << named << " lies outside its window";
        char kind[32] = "";
        GetClassNameA(control, kind, sizeof kind);
        if (lstrcmpiA(kind, WC_LISTVIEWA) == 0) {
            ExpectHeadingsFit(control, named);
        }
        if (text.empty() || (lstrcmpiA(kind, "Static") != 0 && lstrcmpiA(kind, "Button") != 0)) {
            continue;
        }
        RECT client = {};
        GetClientRect(control, &client);
        const SIZE line = Extent(control, text, DT_SINGLELINE, 0);
        const SIZE wrapped = Extent(control, text, DT_WORDBREAK, client.right);
        const LONG style = GetWindowLongA(control, GWL_STYLE);
        const bool wraps = lstrcmpiA(kind, "Static") == 0 && !(style & SS_CENTERIMAGE) &&
                           (style & SS_TYPEMASK) <= SS_RIGHT && wrapped.cy <= client.bottom;
        EXPECT_TRUE(wraps || line.cx + Beside(control, line.cy) <= client.right)
            << named << ": its text needs " << line.cx + Beside(control, line.cy) << " pixels, it has "
            << client.right;
    }
}

// A modal box of the main window, checked as it shows, then closed: the timer fires in the box's own loop.
std::string ModalWhere;
// A window mirrored where its language reads from right to left, as the program makes it (an owned
// dialog too), and the controls that show digests and paths left to right in it all the same.
bool RightToLeftLanguage = false;
void ExpectReadingOrder(HWND window, std::initializer_list<int> leftToRight, const std::string& where) {
    EXPECT_EQ((GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_LAYOUTRTL) != 0, RightToLeftLanguage)
        << where << ": mirrored where the language reads from right to left, only there";
    for (int id : leftToRight) {
        EXPECT_EQ(GetWindowLongA(GetDlgItem(window, id), GWL_EXSTYLE) & (WS_EX_LAYOUTRTL | WS_EX_RTLREADING),
                  0)
            << where << " control " << id << " reads from the right";
    }
}

void CALLBACK CheckModal(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND box = GetTopWindow(NULL);
    while (box && !(GetWindow(box, GW_OWNER) == MainWindow && IsWindowVisible(box))) {
        box = GetWindow(box, GW_HWNDNEXT);
    }
    if (box) {
        KillTimer(NULL, timer);
        ExpectFits(box, ModalWhere);
        ExpectReadingOrder(box, {}, ModalWhere);
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    }
}

// The readouts as a run shows them: while it still counts, then with every amount known and wide.
struct ReadoutState {
    RunCounts counts;
    uint64_t measured; // bytes read in the two seconds before; 0: no speed yet
};
const ReadoutState ReadoutStates[] = {
    {{9999999, 0, false, 1023, 0, false}, 0},
    {{9999999, 0, false, static_cast<uint64_t>(1023.9 * 1024 * GB), 0, false}, 0},
    {{8888888, 9999999, true, static_cast<uint64_t>(1023.9 * GB), static_cast<uint64_t>(1023.9 * 1024 * GB),
      true},
     static_cast<uint64_t>(2 * 511.9 * 1024 * 1024)},
};

DWORD WINAPI NoJob(LPVOID) { return 0; }

void ExpectProgressFits(HWND owner, const std::string& where) {
    const RunStart noRun = {NoJob, IDS_PROGRESS_CAPTION};
    HWND dialog =
        CreateProgramDialog(IDD_PROGRESS, owner, ProgressDialogProc, reinterpret_cast<LPARAM>(&noRun));
    ASSERT_TRUE(dialog) << where;
    ExpectReadingOrder(dialog, {IDC_PROGRESS_FILE_NAME}, where + " progress");
    for (const ReadoutState& state : ReadoutStates) {
        ProgressReadouts readouts;
        if (state.measured) {
            readouts.speed.Sample(GetTickCount64() - 2000, state.counts.bytesDone - state.measured);
        }
        ShowReadouts(readouts, state.counts, true);
        ExpectFits(dialog, where + " progress, " + std::to_string(state.counts.bytesDone) + " bytes done");
    }
    DestroyWindow(dialog);
}

// The extension takes its language from GetSystemDefaultLangID: its import is pointed here, so that the
// page shows each language in turn as on a system of that language.
uint16_t PageLanguage = EnglishModule;
LANGID WINAPI SystemLanguageOfTest() { return PageLanguage; }

void ReplaceImport(HMODULE module, const char* name, void* replacement) {
    BYTE* base = reinterpret_cast<BYTE*>(module);
    const IMAGE_NT_HEADERS* headers =
        reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const DWORD imports = headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    for (auto* dll = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports); dll->Name; ++dll) {
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + dll->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + dll->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            const auto* named = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (!IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal) && strcmp(named->Name, name) == 0) {
                DWORD protection = 0;
                VirtualProtect(slots, sizeof *slots, PAGE_READWRITE, &protection);
                slots->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
                VirtualProtect(slots, sizeof *slots, protection, &protection);
            }
        }
    }
}

// The Digests tab of two files and a folder, read to its end, a digest typed that none matches.
void ExpectPageFits(const std::vector<std::wstring>& paths, const std::string& where) {
    HWND sheet = OpenDigestsSheet(paths, L"Properties");
    ASSERT_TRUE(sheet) << where;
    HWND page = reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
    HWND bar = PageControl(sheet, IDC_PAGE_PROGRESS);
    EXPECT_TRUE(PumpUntil(
        [&] { return SendMessageW(bar, PBM_GETPOS, 0, 0) == SendMessageW(bar, PBM_GETRANGE, FALSE, 0); },
        PollLimitMs))
        << where << " tab: the files were not read";
    SetWindowTextW(PageControl(sheet, IDC_PAGE_COMPARE), L"0123456789abcdef0123456789abcdef");
    ExpectFits(page, where + " tab");
    ExpectReadingOrder(page, {IDC_PAGE_DIGESTS, IDC_PAGE_COMPARE}, where + " tab");
    DestroyWindow(sheet);
}

int ScreenDpi() {
    HDC screen = GetDC(NULL);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(NULL, screen);
    return dpi;
}

// Every window in every language at the DPI the process started with.
void ExpectEveryWindowFits() {
    InitCommonControls();
    ASSERT_TRUE(InitLibrary(VarnoInterfaceMajor, VarnoInterfaceMinor, VarnoInterfaceRevision,
                            VarnoInterfaceReserved) != 0 &&
                StartLibrary(VarnoStartNormal) != 0);
    TakeProgramIdentity(GetModuleHandleA(NULL));
    ReplaceImport(ExtensionModule(), "GetSystemDefaultLangID", reinterpret_cast<void*>(SystemLanguageOfTest));
    const std::wstring folder = FreshFolder(L"fit_test_" + std::to_wstring(ScreenDpi()));
    const std::vector<std::wstring> paths = {folder + L"\\a.txt", folder + L"\\b.txt", folder + L"\\sub"};
    ASSERT_TRUE(WriteBytes(paths[0], "a") && WriteBytes(paths[1], "b") &&
                CreateDirectoryW(paths[2].c_str(), NULL));
    for (int k = 0; k < LanguageModuleCount; ++k) {
        const uint16_t language = LanguageModules[k];
        const std::string where = std::to_string(language) + " at " + std::to_string(ScreenDpi()) + " DPI:";
        LanguageModule = LoadLibraryA(("lang\\" + std::to_string(language) + ".dll").c_str());
        ASSERT_NE(LanguageModule, nullptr) << language;
        RightToLeftLanguage = ReadsRightToLeft(language);
        SetProcessDefaultLayout(RightToLeftLanguage ? LAYOUT_RTL : 0);
        HWND main = CreateDialogParamA(AppInstance, MAKEINTRESOURCEA(IDD_MAIN), NULL, MainDialogProc, 0);
        ASSERT_TRUE(main) << where;
        MSG start; // the command line is the test's: the window is not to read it
        PeekMessageA(&start, main, MSG_TAKE_COMMAND_LINE, MSG_TAKE_COMMAND_LINE, PM_REMOVE);
        ExpectFits(main, where + " main window");
        ExpectReadingOrder(main, {IDC_SELECTED_PATH}, where + " main window");
        ExpandThread = GetCurrentThread(); // a walk: the start button says so
        UpdateMainLook();
        ExpectFits(main, where + " main window, walking");
        ExpandThread = NULL;
        UpdateMainLook();
        ExpectProgressFits(main, where);
        FolderComparison comparison;
        HWND quickSum = CreateProgramDialog(IDD_QUICKSUM, main, QuickSumDialogProc, 0);
        HWND compare =
            CreateProgramDialog(IDD_COMPARE, main, CompareDialogProc, reinterpret_cast<LPARAM>(&comparison));
        ASSERT_TRUE(quickSum && compare) << where;
        ExpectFits(quickSum, where + " quick sum");
        ExpectReadingOrder(quickSum, {IDC_DIGEST_OUTPUT}, where + " quick sum");
        ExpectFits(compare, where + " compare");
        ExpectReadingOrder(compare, {IDC_COMPARE_ORIGINAL, IDC_COMPARE_COPY}, where + " compare");
        DestroyWindow(quickSum);
        DestroyWindow(compare);
        ModalWhere = where + " about box";
        SetTimer(NULL, 0, 0, CheckModal);
        ShowAbout(main);
        if (language == 1063) { // Lithuanian: the longest message, the command line's forms
            ModalWhere = where + " message box";
            SetTimer(NULL, 0, 0, CheckModal);
            ShowMessage(main, IDS_COMMAND_LINE_FORMS, "/items", MB_ICONERROR);
        }
        PageLanguage = language;
        ExpectPageFits(paths, where);
        DestroyWindow(main); // releases the language module
    }
    RemoveTree(folder);
}

// LogPixels raised for the processes that start meanwhile (Wine reads it as a process starts), and
// put back as it was, or removed where there was none, however the test ends.
class RaisedLogPixels {
public:
    RaisedLogPixels() {
        RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, NULL, 0,
                        KEY_QUERY_VALUE | KEY_SET_VALUE, NULL, &m_key, NULL);
        m_had = RegQueryValueExA(m_key, "LogPixels", NULL, &m_type, m_before, &m_size) == ERROR_SUCCESS;
        RegSetValueExA(m_key, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&RaisedDpi),
                       sizeof RaisedDpi);
    }
    ~RaisedLogPixels() {
        if (m_had) {
            RegSetValueExA(m_key, "LogPixels", 0, m_type, m_before, m_size);
        } else {
            RegDeleteValueA(m_key, "LogPixels");
        }
        RegCloseKey(m_key);
    }

private:
    HKEY m_key = NULL;
    bool m_had = false;
    DWORD m_type = REG_DWORD, m_size = sizeof m_before;
    BYTE m_before[64] = {};
};

// The checks at 96 DPI here and at 144 in a child that runs meanwhile. LogPixels stays raised only
// until the child has taken its DPI, and ctest runs this test alone (RUN_SERIAL), so that no other
// process starts at 144 DPI.
TEST(TextFit, EveryWindowInEveryLanguageAt96And144Dpi) {
    const char DpiTaken[] = "Local\\DigestorFitDpiTaken";
    if (const char* childDpi = getenv(DpiVariable)) {
        ASSERT_EQ(ScreenDpi(), atoi(childDpi));
        HANDLE taken = OpenEventA(EVENT_MODIFY_STATE, FALSE, DpiTaken);
        SetEvent(taken);
        CloseHandle(taken);
        ExpectEveryWindowFits();
        return;
    }
    ASSERT_EQ(ScreenDpi(), USER_DEFAULT_SCREEN_DPI);
    HANDLE taken = CreateEventA(NULL, TRUE, FALSE, DpiTaken);
    char self[MAX_PATH] = "";
    GetModuleFileNameA(NULL, self, MAX_PATH);
    std::string command = std::string("\"") + self + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES; // its failures in the test's output
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION child = {};
    SetEnvironmentVariableA(DpiVariable, std::to_string(RaisedDpi).c_str());
    {
        RaisedLogPixels raised;
        ASSERT_TRUE(CreateProcessA(self, &command[0], NULL, NULL, TRUE, 0, NULL, NULL, &startup, &child));
        HANDLE either[] = {taken, child.hProcess};
        WaitForMultipleObjects(2, either, FALSE, PollLimitMs);
    }
    SetEnvironmentVariableA(DpiVariable, NULL);
    ExpectEveryWindowFits();
    if (WaitForSingleObject(child.hProcess, 10 * PollLimitMs) != WAIT_OBJECT_0) {
        TerminateProcess(child.hProcess, 1);
    }
    DWORD exitCode = 1;
    GetExitCodeProcess(child.hProcess, &exitCode);
    CloseHandle(child.hProcess);
    CloseHandle(child.hThread);
    CloseHandle(taken);
    EXPECT_EQ(exitCode, 0u) << "the checks at " << RaisedDpi << " DPI failed (their lines are above)";
}

} // namespace
