// Every language module against the English one, read as the program reads it: every string there,
// none empty, the same placeholders in the same order, the whole menu, and no accelerator given twice
// within a menu or a dialog.
#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "base/language_choice.h"
#include "drive/wide_text.h"
#include "res/resource.h"
#include "tests/lang/module_strings.h"

namespace {

// The placeholders of wsprintf (%s, %d) and of FormatMessage (%1, %2!u!) in their order; %% is none.
std::vector<std::wstring> Placeholders(const std::wstring& text) {
    std::vector<std::wstring> found;
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != L'%') {
            continue;
        }
        size_t end = i + 1;
        if (text[end] == L'%') {
            i = end;
            continue;
        }
        while (end < text.size() && iswdigit(text[end])) {
            ++end;
        }
        if (end == i + 1) {
            ++end; // one letter: s, d, u
        } else if (end < text.size() && text[end] == L'!') {
            end = text.find(L'!', end + 1) + 1;
        }
        found.push_back(text.substr(i, end - i));
        i = end - 1;
    }
    return found;
}

// The letter after a single '&', lower-cased; 0 when there is none.
wchar_t Accelerator(const std::wstring& text) {
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == L'&') {
            if (text[i + 1] != L'&') {
                return static_cast<wchar_t>(reinterpret_cast<UINT_PTR>(
                    CharLowerW(reinterpret_cast<LPWSTR>(static_cast<UINT_PTR>(text[i + 1])))));
            }
            ++i;
        }
    }
    return 0;
}

// A menu's shape (commands and pop-ups, by ID, in order) and every clash of accelerators within one
// level, each clash named with the texts that share the letter.
void ReadMenu(HMENU menu, std::wstring& shape, std::vector<std::wstring>& clashes) {
    std::set<wchar_t> taken;
    for (int k = 0; k < GetMenuItemCount(menu); ++k) {
        wchar_t text[256] = L"";
        MENUITEMINFOW item = {};
        item.cbSize = sizeof item;
        item.fMask = MIIM_ID | MIIM_SUBMENU | MIIM_FTYPE | MIIM_STRING;
        item.dwTypeData = text;
        item.cch = ARRAYSIZE(text);
        GetMenuItemInfoW(menu, k, TRUE, &item);
        if (item.fType & MFT_SEPARATOR) {
            shape += L"-";
            continue;
        }
        shape += item.hSubMenu ? L"[" : std::to_wstring(item.wID) + (text[0] ? L" " : L" EMPTY ");
        const wchar_t letter = Accelerator(text);
        if (letter && !taken.insert(letter).second) {
            clashes.push_back(text);
        }
        if (item.hSubMenu) {
            ReadMenu(item.hSubMenu, shape, clashes);
            shape += L"]";
        }
    }
}

// The texts each dialog shows together, whose accelerators must differ.
const std::vector<UINT> DialogTexts[] = {
    {IDS_ALGORITHM_LABEL, IDS_START},                                   // main window
    {IDS_CANCEL, IDS_FILE_GROUP, IDS_TOTAL_GROUP},                      // progress
    {IDS_TEXT_LABEL, IDS_DIGEST_LABEL, IDS_ALGORITHM_LABEL, IDS_START}, // quick sum
    {IDS_COMPARE_ORIGINAL_LABEL, IDS_COMPARE_COPY_LABEL, IDS_COMPARE_BROWSE, IDS_ALGORITHM_LABEL,
     IDS_COMPARE_RECORD, IDS_COMPARE_START, IDS_CANCEL},                             // compare folders
    {IDS_PAGE_ALGORITHMS, IDS_PAGE_COMPARE_LABEL, IDS_PAGE_COPY_ALL, IDS_PAGE_SAVE}, // Digests tab
};

TEST(LanguageModules, HoldWhatEnglishHolds) {
    LanguageModuleFile english(EnglishModule);
    ASSERT_TRUE(english.handle);
    const std::vector<UINT> ids = StringIds(english.handle);
    ASSERT_GT(ids.size(), 100u);
    std::wstring englishMenu;
    std::vector<std::wstring> ignored;
    HMENU menu = LoadMenuW(english.handle, MAKEINTRESOURCEW(IDR_MAIN_MENU));
    ReadMenu(menu, englishMenu, ignored);
    DestroyMenu(menu);
    for (int m = 0; m < LanguageModuleCount; ++m) {
        const uint16_t id = LanguageModules[m];
        SCOPED_TRACE("module " + std::to_string(id));
        LanguageModuleFile module(id);
        ASSERT_TRUE(module.handle) << "lang\\" << id << ".dll is missing";
        for (UINT string : ids) {
            const std::wstring text = Text(module.handle, string);
            EXPECT_FALSE(text.empty()) << "string " << string << " missing or empty";
            EXPECT_EQ(Placeholders(text), Placeholders(Text(english.handle, string)))
                << "string " << string << ": " << Utf8(text);
        }
        EXPECT_EQ(StringIds(module.handle).size(), ids.size()) << "strings English does not have";
        std::wstring shape;
        std::vector<std::wstring> clashes;
        menu = LoadMenuW(module.handle, MAKEINTRESOURCEW(IDR_MAIN_MENU));
        ASSERT_TRUE(menu);
        ReadMenu(menu, shape, clashes);
        DestroyMenu(menu);
        EXPECT_EQ(shape, englishMenu) << "the menu differs from English's";
        for (const std::wstring& clash : clashes) {
            ADD_FAILURE() << "menu accelerator given twice, at " << Utf8(clash);
        }
        for (const std::vector<UINT>& dialog : DialogTexts) {
            std::set<wchar_t> taken;
            for (UINT string : dialog) {
                const wchar_t letter = Accelerator(Text(module.handle, string));
                EXPECT_TRUE(!letter || taken.insert(letter).second)
                    << "dialog accelerator given twice, at " << Utf8(Text(module.handle, string));
            }
        }
    }
}

} // namespace
