// ShowAboutBox: a modal box owned by the given window with the record's texts, closed by OK,
// Enter, Escape or its close box; it keeps its texts when the caller's record changes meanwhile.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "companion/varnolib.h"
#include "tests/varnolib/window_test_helpers.h"

namespace {

enum class Closing { OkCommand, EnterKey, EscapeKey, CloseBox };

// What the watcher saw of the box while it was up.
struct Sighting {
    bool found = false;
    std::string caption;
    std::vector<std::string> texts; // non-empty texts of the box's controls, in window order
    bool ownerDisabled = false;
    HICON shownIcon = NULL;
};

struct FindBox {
    HWND owner;
    HWND box;
};

BOOL CALLBACK FindBoxOf(HWND window, LPARAM lParam) {
    FindBox* find = reinterpret_cast<FindBox*>(lParam);
    if (ClassOf(window) == "#32770" && GetWindow(window, GW_OWNER) == find->owner &&
        IsWindowVisible(window)) {
        find->box = window;
        return FALSE;
    }
    return TRUE;
}

HWND AboutBoxOf(DWORD thread, HWND owner) {
    FindBox find = {owner, NULL};
    EnumThreadWindows(thread, FindBoxOf, reinterpret_cast<LPARAM>(&find));
    return find.box;
}

BOOL CALLBACK CollectTexts(HWND control, LPARAM lParam) {
    Sighting* sighting = reinterpret_cast<Sighting*>(lParam);
    const std::string text = TextOf(control);
    if (!text.empty())
        sighting->texts.push_back(text);
    if (ClassOf(control) == "Static" && (GetWindowLongPtrA(control, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
        sighting->shownIcon = reinterpret_cast<HICON>(SendMessageA(control, STM_GETICON, 0, 0));
    return TRUE;
}

void Close(HWND box, Closing closing) {
    switch (closing) {
    case Closing::OkCommand:
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        break;
    case Closing::EnterKey:
        PostMessageA(box, WM_KEYDOWN, VK_RETURN, 0);
        break;
    case Closing::EscapeKey:
        PostMessageA(box, WM_KEYDOWN, VK_ESCAPE, 0);
        break;
    case Closing::CloseBox:
        PostMessageA(box, WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
    }
}

// The record as the program fills it, with texts in buffers the test may overwrite.
struct Record {
    char title[128] = "Digestor v3.3.0.286";
    char copyright[128] = "Copyright (C) 2024 Digestor authors";
    char author[64] = "A. N. Author";
    char extra[1024] = "Computes MD2, MD4, MD5 and CRC32 digests of files and texts.";
    AboutInfo info = {};

    Record(HWND owner, bool withExtra) {
        info.instance = GetModuleHandleA(NULL);
        info.owner = owner;
        info.icon = LoadIconA(NULL, IDI_INFORMATION);
        info.title = title;
        info.build = 286;
        info.copyright = copyright;
        info.author = author;
        info.author2 = author;
        info.extra = withExtra ? extra : NULL;
    }
    // Scribbles over everything the box might still read from.
    void Overwrite() {
        for (char* text : {title, copyright, author, extra})
            lstrcpyA(text, "overwritten");
        info.build = 1;
        info.title = info.copyright = info.author = info.author2 = info.extra = "changed";
    }
};

class AboutBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        owner = CreateWindowExA(0, "#32770", "owner", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, 100, 100, 500,
                                350, NULL, NULL, GetModuleHandleA(NULL), NULL);
        ASSERT_NE(owner, nullptr);
        ShowWindow(owner, SW_SHOW);
    }
    void TearDown() override { DestroyWindow(owner); }

    // Shows the box on this thread while a watcher finds it, reads it and closes it.
    Sighting ShowAndClose(Record& record, Closing closing, bool overwriteWhileUp = false) {
        Sighting sighting;
        const DWORD thread = GetCurrentThreadId();
        std::atomic<bool> returned(false);
        std::thread watcher([&] {
            HWND box = NULL;
            sighting.found = WaitFor([&] { return (box = AboutBoxOf(thread, owner)) != NULL || returned; });
            if (box == NULL)
                return;
            sighting.ownerDisabled = !IsWindowEnabled(owner);
            if (overwriteWhileUp) {
                record.Overwrite();
                RedrawWindow(box, NULL, NULL, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
            }
            sighting.caption = TextOf(box);
            EnumChildWindows(box, CollectTexts, reinterpret_cast<LPARAM>(&sighting));
            Close(box, closing);
        });
        const int32_t result = ShowAboutBox(&record.info);
        returned = true;
        watcher.join();
        EXPECT_NE(result, 0);
        EXPECT_TRUE(IsWindowEnabled(owner)) << "owner enabled again after the box closed";
        EXPECT_EQ(AboutBoxOf(thread, owner), nullptr) << "box gone";
        return sighting;
    }
    HWND owner = NULL;
};

bool Shows(const Sighting& sighting, const std::string& text) {
    return std::find(sighting.texts.begin(), sighting.texts.end(), text) != sighting.texts.end();
}

TEST_F(AboutBoxTest, ShowsTheRecordModallyOverItsOwner) {
    Record record(owner, true);
    const Sighting seen = ShowAndClose(record, Closing::OkCommand);
    ASSERT_TRUE(seen.found) << "no about box owned by the owner window appeared";
    EXPECT_TRUE(seen.ownerDisabled) << "owner must be disabled while the box is up";
    EXPECT_EQ(seen.caption, "Digestor v3.3.0.286");
    const std::vector<std::string> expected = {"Digestor v3.3.0.286",
                                               "Build 286",
                                               "Copyright (C) 2024 Digestor authors",
                                               "A. N. Author",
                                               "Computes MD2, MD4, MD5 and CRC32 digests of files and texts.",
                                               "OK"};
    EXPECT_EQ(seen.texts, expected);
    EXPECT_EQ(seen.shownIcon, record.info.icon);
}

TEST_F(AboutBoxTest, LeavesOutAMissingExtraText) {
    Record record(owner, false);
    const Sighting seen = ShowAndClose(record, Closing::OkCommand);
    ASSERT_TRUE(seen.found);
    const std::vector<std::string> expected = {"Digestor v3.3.0.286", "Build 286",
                                               "Copyright (C) 2024 Digestor authors", "A. N. Author", "OK"};
    EXPECT_EQ(seen.texts, expected);
}

TEST_F(AboutBoxTest, KeepsItsTextsWhenTheRecordChangesWhileItIsUp) {
    Record record(owner, true);
    const Sighting seen = ShowAndClose(record, Closing::OkCommand, true);
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.caption, "Digestor v3.3.0.286");
    EXPECT_TRUE(Shows(seen, "Build 286"));
    EXPECT_TRUE(Shows(seen, "A. N. Author"));
    EXPECT_TRUE(Shows(seen, "Computes MD2, MD4, MD5 and CRC32 digests of files and texts."));
    EXPECT_FALSE(Shows(seen, "overwritten"));
    EXPECT_FALSE(Shows(seen, "changed"));
}

TEST_F(AboutBoxTest, ShowsALongExtraTextWhole) {
    Record record(owner, true);
    std::string text = "First line of a longer text.\r\n";
    for (int i = 0; i < 12; ++i)
        text += "More words that wrap inside the box at its width. ";
    lstrcpynA(record.extra, text.c_str(), sizeof(record.extra));
    const Sighting seen = ShowAndClose(record, Closing::OkCommand);
    ASSERT_TRUE(seen.found);
    EXPECT_TRUE(Shows(seen, text));
}

class AboutBoxClosing : public AboutBoxTest, public ::testing::WithParamInterface<Closing> {};

TEST_P(AboutBoxClosing, ClosesAndReturns) {
    Record record(owner, true);
    const Sighting seen = ShowAndClose(record, GetParam());
    EXPECT_TRUE(seen.found);
}

std::string ClosingName(const ::testing::TestParamInfo<Closing>& info) {
    static const char* const names[] = {"OkCommand", "EnterKey", "EscapeKey", "CloseBox"};
    return names[static_cast<int>(info.param)];
}

INSTANTIATE_TEST_SUITE_P(Ways, AboutBoxClosing,
                         ::testing::Values(Closing::OkCommand, Closing::EnterKey, Closing::EscapeKey,
                                           Closing::CloseBox),
                         ClosingName);

TEST(AboutBox, RefusesAMissingRecord) { EXPECT_EQ(ShowAboutBox(NULL), 0); }

} // namespace
