// The main window of the real program as a user finds it after start-up without arguments:
// caption, controls, algorithm box, greyed commands, and the wording of the system's language.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <initializer_list>

#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/e2e/process_harness.h"
#include "tests/e2e/process_windows.h"
#include "tests/e2e/remote_menu.h"
#include "tests/e2e/running_digestor.h"

namespace {

const UINT kMenuCommands[] = {IDM_QUICKSUM, IDM_SAVE_LIST, IDM_EXIT, IDM_CLEAR_LIST, IDM_ABOUT};
const uint32_t kNoItem = 0xFFFFFFFF;

// The main window's menu bar with the five commands, read inside the program (Wine keeps menu
// items in the process that owns them).
bool ReadMainMenu(const DigestorProcess& digestor, HWND window, MenuProbeRequest& menu, std::string& error) {
    menu = MenuProbeRequest();
    for (UINT command : kMenuCommands)
        menu.commands[menu.commandCount++] = command;
    return ReadMenuFromInside(digestor.Handle(), digestor.Id(), window, menu, error);
}

using MainWindowE2e = RunningDigestor;

TEST_F(MainWindowE2e, CaptionIsDigestor) {
    EXPECT_EQ(CaptionOf(window_), "Digestor");
    EXPECT_EQ(WindowText(window_), "Digestor");
    EXPECT_EQ(ClassNameOf(window_), "#32770") << "the main window is a dialog";
}

TEST_F(MainWindowE2e, NoPlaceholderTextIsLeft) {
    const char* const placeholders[] = {"LABEL", "BUTTON", "TEXT", "DLG_MAIN"};
    std::vector<HWND> children = ChildWindows(window_);
    ASSERT_FALSE(children.empty());
    for (HWND child : children) {
        bool ok = false;
        std::string text = WindowText(child, &ok);
        ASSERT_TRUE(ok) << "control " << GetDlgCtrlID(child) << " does not answer";
        for (const char* placeholder : placeholders)
            EXPECT_NE(text, placeholder) << "control " << GetDlgCtrlID(child);
    }
    EXPECT_NE(WindowText(window_), "DLG_MAIN");
}

TEST_F(MainWindowE2e, AlgorithmBoxOffersFourNamesWithMd5Selected) {
    HWND box = Control(IDC_ALGORITHM);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(ClassNameOf(box), "ComboBox");
    ASSERT_EQ(SendPlainMessage(box, CB_GETCOUNT, 0, 0), 4);
    const char* const names[] = {"MD2", "MD4", "MD5", "CRC32"};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(ComboItemText(box, i), names[i]) << "item " << i;
    EXPECT_EQ(SendPlainMessage(box, CB_GETCURSEL, 0, 0), 2);
    EXPECT_EQ(WindowText(box), "MD5") << "the closed box shows the selection";
}

TEST_F(MainWindowE2e, PathFieldShownWhereTheHiddenProgressBarIs) {
    HWND path = Control(IDC_SELECTED_PATH);
    HWND progress = Control(IDC_MAIN_PROGRESS);
    ASSERT_TRUE(path && progress);
    EXPECT_EQ(ClassNameOf(path), "Edit");
    EXPECT_EQ(ClassNameOf(progress), "msctls_progress32");
    EXPECT_TRUE(IsWindowVisible(path));
    EXPECT_FALSE(IsWindowVisible(progress));
    RECT pathRect, progressRect;
    ASSERT_TRUE(GetWindowRect(path, &pathRect) && GetWindowRect(progress, &progressRect));
    EXPECT_TRUE(EqualRect(&pathRect, &progressRect))
        << "path field " << pathRect.left << "," << pathRect.top << "," << pathRect.right << ","
        << pathRect.bottom << " progress bar " << progressRect.left << "," << progressRect.top << ","
        << progressRect.right << "," << progressRect.bottom;
    EXPECT_EQ(WindowText(path), "");
}

TEST_F(MainWindowE2e, EmptyListAndDisabledStartWithoutArguments) {
    HWND start = Control(IDC_START);
    HWND list = Control(IDC_FILE_LIST);
    ASSERT_TRUE(start && list);
    EXPECT_FALSE(IsWindowEnabled(start));
    EXPECT_TRUE(IsWindowEnabled(list));
    EXPECT_EQ(SendPlainMessage(list, LB_GETCOUNT, 0, 0), 0);
    // No run started: the main window is the program's only window.
    EXPECT_EQ(VisibleTopLevelWindows(digestor_.Id()).size(), 1u) << digestor_.Describe();
}

TEST_F(MainWindowE2e, MenuBarComesFromTheLanguageModule) {
    MenuProbeRequest menu;
    std::string error;
    ASSERT_TRUE(ReadMainMenu(digestor_, window_, menu, error)) << error;
    ASSERT_GT(menu.barCount, 0) << "the main window has no menu bar";
    // Not the placeholder of the program's own resources: a lone item "MENU" with command 0.
    EXPECT_FALSE(menu.barCount == 1 && std::string(menu.barTexts[0]) == "MENU" && menu.barIds[0] == 0);
    for (uint32_t i = 0; i < menu.commandCount; ++i)
        EXPECT_NE(menu.states[i], kNoItem) << "no menu item " << menu.commands[i];
}

TEST_F(MainWindowE2e, SaveAndClearAreGreyedTheOthersEnabled) {
    MenuProbeRequest menu;
    std::string error;
    ASSERT_TRUE(ReadMainMenu(digestor_, window_, menu, error)) << error;
    for (uint32_t i = 0; i < menu.commandCount; ++i) {
        const UINT command = menu.commands[i];
        ASSERT_NE(menu.states[i], kNoItem) << "no menu item " << command;
        if (command == IDM_SAVE_LIST || command == IDM_CLEAR_LIST)
            EXPECT_TRUE(menu.states[i] & MF_GRAYED) << "menu item " << command;
        else
            EXPECT_FALSE(menu.states[i] & (MF_GRAYED | MF_DISABLED)) << "menu item " << command;
    }
}

// --- language ----------------------------------------------------------------------------------
//
// Wine takes the system's default language from the Unix locale of the process it starts (LC_ALL)
// and a program started from a Windows program inherits it; so each ctest entry runs these tests
// under one locale, set through scripts/wine-run, and names the language it expects in
// DIGESTOR_E2E_SYSTEM_LANGUAGE (hexadecimal LANGID), which guards against an entry whose locale
// never arrived.

// A string of a language module, loaded here as data.
class LanguageModule {
public:
    explicit LanguageModule(const std::string& name)
        : module_(LoadLibraryExA(JoinPath(JoinPath(BinDirectory(), "lang"), name).c_str(), nullptr,
                                 LOAD_LIBRARY_AS_DATAFILE)) {}
    ~LanguageModule() {
        if (module_)
            FreeLibrary(module_);
    }
    LanguageModule(const LanguageModule&) = delete;
    LanguageModule& operator=(const LanguageModule&) = delete;

    bool Loaded() const { return module_ != nullptr; }

    std::string Text(UINT id) const {
        char text[1024] = {};
        LoadStringA(module_, id, text, sizeof(text));
        return text;
    }

    HMENU LoadMenuBar() const { return LoadMenuA(module_, MAKEINTRESOURCEA(IDR_MAIN_MENU)); }

private:
    HMODULE module_;
};

class LanguageE2e : public RunningDigestor {
protected:
    void SetUp() override {
        LANGID system = GetSystemDefaultLangID();
        char expected[16] = {};
        if (GetEnvironmentVariableA("DIGESTOR_E2E_SYSTEM_LANGUAGE", expected, sizeof(expected))) {
            ASSERT_EQ(system, strtoul(expected, nullptr, 16)) << "this run's locale did not reach Wine";
        }
        german_ = PRIMARYLANGID(system) == LANG_GERMAN;
        RunningDigestor::SetUp();
    }

    // The module the program must have loaded, and the other one.
    const char* ExpectedModule() const { return german_ ? "1031.dll" : "1033.dll"; }
    const char* OtherModule() const { return german_ ? "1033.dll" : "1031.dll"; }

    bool german_ = false;
};

TEST_F(LanguageE2e, LabelAndStartButtonSpeakTheSystemLanguage) {
    LanguageModule expected(ExpectedModule());
    LanguageModule other(OtherModule());
    ASSERT_TRUE(expected.Loaded() && other.Loaded());
    const std::string label = expected.Text(IDS_ALGORITHM_LABEL);
    const std::string start = expected.Text(IDS_START);
    ASSERT_NE(label, "");
    ASSERT_NE(start, "");
    // Otherwise the texts could not tell which module was loaded.
    ASSERT_TRUE(label != other.Text(IDS_ALGORITHM_LABEL) || start != other.Text(IDS_START))
        << "both modules word the label and the start button alike";

    EXPECT_EQ(WindowText(Control(IDC_ALGORITHM_LABEL)), label) << "expected " << ExpectedModule();
    EXPECT_EQ(WindowText(Control(IDC_START)), start) << "expected " << ExpectedModule();
}

TEST_F(LanguageE2e, MenuSpeaksTheSystemLanguage) {
    LanguageModule expected(ExpectedModule());
    ASSERT_TRUE(expected.Loaded());
    HMENU reference = expected.LoadMenuBar();
    ASSERT_NE(reference, nullptr);

    MenuProbeRequest menu;
    std::string error;
    ASSERT_TRUE(ReadMainMenu(digestor_, window_, menu, error)) << error;
    EXPECT_EQ(menu.barCount, GetMenuItemCount(reference));
    for (int i = 0; i < menu.barCount && i < kMenuProbeBarItems; ++i) {
        char want[kMenuProbeText] = {};
        GetMenuStringA(reference, static_cast<UINT>(i), want, sizeof(want), MF_BYPOSITION);
        EXPECT_STREQ(menu.barTexts[i], want) << "menu bar item " << i;
    }
    for (uint32_t i = 0; i < menu.commandCount; ++i) {
        char want[kMenuProbeText] = {};
        GetMenuStringA(reference, menu.commands[i], want, sizeof(want), MF_BYCOMMAND);
        EXPECT_STREQ(menu.commandTexts[i], want) << "menu item " << menu.commands[i];
    }
    DestroyMenu(reference);
}

} // namespace
