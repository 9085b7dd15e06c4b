// Every dialog the program dresses, in every language module, mirrored where the language reads from
// right to left: each label, button, check box and group title shows its whole text in the control's
// own font, and each control lies inside its dialog.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

#include "base/language_choice.h"
#include "base/program_identity.h"
#include "base/program_state.h"
#include "companion/varnolib.h"
#include "res/resource.h"
#include "tools/compare_folders.h"
#include "tools/quick_sum.h"
#include "window/app_state.h"

namespace {

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

// Failures name the language, the dialog and the control.
void ExpectFits(HWND dialog, uint16_t language, const char* name) {
    RECT inside = {};
    GetClientRect(dialog, &inside);
    for (HWND control = GetWindow(dialog, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
        const std::string where =
            std::to_string(language) + " " + name + " control " + std::to_string(GetDlgCtrlID(control));
        RECT rect = {};
        GetWindowRect(control, &rect);
        MapWindowPoints(NULL, dialog, reinterpret_cast<POINT*>(&rect), 2);
        EXPECT_TRUE(rect.left >= 0 && rect.right <= inside.right) << where << " lies outside its dialog";
        char kind[16] = "";
        GetClassNameA(control, kind, sizeof kind);
        const std::wstring text = TextOf(control);
        const bool edit = lstrcmpiA(kind, "Edit") == 0 || lstrcmpiA(kind, "ComboBox") == 0;
        if (text.empty() || edit || !IsWindowVisible(control)) {
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
            << where << ": its text needs " << line.cx + Beside(control, line.cy) << " pixels, it has "
            << client.right;
    }
}

TEST(TextFit, EveryDialogInEveryLanguage) {
    InitCommonControls();
    ASSERT_TRUE(InitLibrary(VarnoInterfaceMajor, VarnoInterfaceMinor, VarnoInterfaceRevision,
                            VarnoInterfaceReserved) != 0 &&
                StartLibrary(VarnoStartNormal) != 0);
    TakeProgramIdentity(GetModuleHandleA(NULL));
    for (int k = 0; k < LanguageModuleCount; ++k) {
        const uint16_t language = LanguageModules[k];
        LanguageModule = LoadLibraryA(("lang\\" + std::to_string(language) + ".dll").c_str());
        ASSERT_NE(LanguageModule, nullptr) << language;
        SetProcessDefaultLayout(ReadsRightToLeft(language) ? LAYOUT_RTL : 0);
        FolderComparison comparison;
        HWND quickSum =
            CreateDialogParamA(AppInstance, MAKEINTRESOURCEA(IDD_QUICKSUM), NULL, QuickSumDialogProc, 0);
        HWND compare = CreateDialogParamA(AppInstance, MAKEINTRESOURCEA(IDD_COMPARE), NULL, CompareDialogProc,
                                          reinterpret_cast<LPARAM>(&comparison));
        ASSERT_TRUE(quickSum && compare) << language;
        ExpectFits(quickSum, language, "quick sum");
        ExpectFits(compare, language, "compare");
        EXPECT_EQ((GetWindowLongA(compare, GWL_EXSTYLE) & WS_EX_LAYOUTRTL) != 0, ReadsRightToLeft(language))
            << language << " compare dialog's reading order";
        DestroyWindow(quickSum);
        DestroyWindow(compare);
        FreeLibrary(LanguageModule);
        LanguageModule = NULL;
    }
}

} // namespace
