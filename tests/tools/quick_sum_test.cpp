#include "tools/quick_sum.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "base/app_state.h"
#include "engine/digestor.h"
#include "res/resource.h"
#include "tool_window_test.h"

namespace {

// Published test values: RFC 1321 (MD5), RFC 1320 (MD4), RFC 1319 (MD2); the
// program's CRC-32 starts from 0 and has no final inversion.
struct Vector {
    const char* source;
    DigestKind kind;
    const char* text;
    const char* digest;
};

const Vector EmptyInput[] = {
    {"RFC 1321 #1", DigestMD5, "", "d41d8cd98f00b204e9800998ecf8427e"},
    {"CRC-32, initial 0", DigestCRC32, "", "00000000"},
};

const Vector Abc[] = {
    {"RFC 1319 #3", DigestMD2, "abc", "da853b0d3f88d99b30283a69e6ded6bb"},
    {"RFC 1320 #3", DigestMD4, "abc", "a448017aaf21d8525fc10ae87aa6729d"},
    {"RFC 1321 #3", DigestMD5, "abc", "900150983cd24fb0d6963f7d28e17f72"},
    {"CRC-32, initial 0", DigestCRC32, "abc", "ca6598d0"},
};

const char* const AlgorithmNames[] = {"MD2", "MD4", "MD5", "CRC32"};

// The engine used directly, without the dialog.
std::string EngineDigest(DigestKind kind, const std::string& bytes) {
    IDigestor* digestor = CreateDigestor(kind);
    digestor->Reset();
    digestor->Update(reinterpret_cast<const uint8_t*>(bytes.data()), static_cast<uint32_t>(bytes.size()));
    digestor->Finish();
    std::string text = digestor->DigestText();
    digestor->Release();
    return text;
}

LRESULT Selection(HWND combo) { return SendMessageA(combo, CB_GETCURSEL, 0, 0); }

class QuickSumTest : public ToolWindowTest {
protected:
    static bool IsQuickSum(HWND dialog) { return GetDlgItem(dialog, IDC_TEXT_INPUT) != NULL; }

    // Chooses the menu command and waits for dialog 103 to show and for the
    // session's watcher to have met it (it presses OK there, which does nothing).
    HWND Open() {
        size_t seen = DialogsSeen(m_quickSumCaption);
        PostMessageA(m_window, WM_COMMAND, IDM_QUICKSUM, 0);
        HWND dialog = WaitForOwnedDialog(IsQuickSum);
        EXPECT_TRUE(WaitFor([&] { return DialogsSeen(m_quickSumCaption) > seen; }))
            << "the watcher did not meet the dialog";
        return dialog;
    }

    static HWND Item(HWND dialog, int id) { return GetDlgItem(dialog, id); }

    // Types text, picks an algorithm and presses the compute button; the output field's text.
    static std::string Compute(HWND dialog, const std::string& text, DigestKind kind) {
        SendMessageA(Item(dialog, IDC_TEXT_INPUT), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
        Choose(dialog, kind);
        return Press(dialog);
    }

    // As the user picks in the drop-down: the selection and its notification.
    static void Choose(HWND dialog, DigestKind kind) {
        HWND combo = Item(dialog, IDC_ALGORITHM);
        SendMessageA(combo, CB_SETCURSEL, kind, 0);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_ALGORITHM, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(combo));
    }

    static std::string Press(HWND dialog) {
        SendMessageA(Item(dialog, IDC_START), BM_CLICK, 0, 0);
        return WindowText(Item(dialog, IDC_DIGEST_OUTPUT));
    }

    // Ends the dialog with message and checks that the main window carries on alone.
    void ExpectClosedBy(HWND dialog, UINT message, WPARAM wParam) {
        ASSERT_FALSE(IsWindowEnabled(m_window)) << "the main window is not disabled while the dialog is open";
        PostMessageA(dialog, message, wParam, 0);
        EXPECT_TRUE(WaitFor([dialog] { return !IsWindow(dialog); })) << "the dialog is still there";
        EXPECT_TRUE(WaitForMainWindowIdle()) << "the main window did not get its loop back";
        EXPECT_TRUE(IsWindowEnabled(m_window));
        EXPECT_TRUE(IsWindowVisible(m_window));
        EXPECT_EQ(MainWindow, m_window);
    }
};

TEST_F(QuickSumTest, OpensDressedInTheLanguageStrings) {
    HWND dialog = Open();
    ASSERT_NE(dialog, nullptr) << "dialog 103 did not open";
    std::string caption = ModuleString(m_language, IDS_QUICKSUM_CAPTION);
    ASSERT_FALSE(caption.empty());
    EXPECT_EQ(WindowText(dialog), "Digestor: " + caption);
    const struct {
        int control;
        UINT text;
    } labels[] = {{IDC_TEXT_LABEL, IDS_TEXT_LABEL},
                  {IDC_DIGEST_LABEL, IDS_DIGEST_LABEL},
                  {IDC_ALGORITHM_LABEL, IDS_ALGORITHM_LABEL},
                  {IDC_START, IDS_START}};
    for (const auto& label : labels) {
        std::string expected = ModuleString(m_language, label.text);
        EXPECT_FALSE(expected.empty()) << label.text;
        EXPECT_EQ(WindowText(Item(dialog, label.control)), expected) << "control " << label.control;
    }
    EXPECT_EQ(WindowText(Item(dialog, IDC_TEXT_INPUT)), "");
    EXPECT_EQ(WindowText(Item(dialog, IDC_DIGEST_OUTPUT)), "");
    // The main window's caption is the program's caption alone.
    EXPECT_EQ(WindowText(m_window), AppCaption);
}

TEST_F(QuickSumTest, OffersTheFourAlgorithmsWithMd5ChosenWhateverTheMainWindowHas) {
    HWND mainBox = m_session->Control(IDC_ALGORITHM);
    SendMessageA(mainBox, CB_SETCURSEL, DigestMD2, 0);
    ASSERT_EQ(Selection(mainBox), DigestMD2);
    HWND dialog = Open();
    ASSERT_NE(dialog, nullptr);
    HWND combo = Item(dialog, IDC_ALGORITHM);
    ASSERT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 4);
    for (int i = 0; i < 4; ++i) {
        char name[32] = "";
        SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(name));
        EXPECT_STREQ(name, AlgorithmNames[i]);
    }
    EXPECT_EQ(Selection(combo), DigestMD5);
    EXPECT_EQ(Selection(mainBox), DigestMD2) << "the dialog changed the main window's choice";
}

TEST_F(QuickSumTest, EmptyInputGivesTheDigestOfNoBytes) {
    HWND dialog = Open();
    ASSERT_NE(dialog, nullptr);
    for (const Vector& vector : EmptyInput) {
        EXPECT_EQ(Compute(dialog, vector.text, vector.kind), vector.digest) << vector.source;
    }
}

TEST_F(QuickSumTest, AbcGivesThePublishedDigestOfEachAlgorithm) {
    HWND dialog = Open();
    ASSERT_NE(dialog, nullptr);
    for (const Vector& vector : Abc) {
        EXPECT_EQ(Compute(dialog, vector.text, vector.kind), vector.digest) << vector.source;
    }
}

TEST_F(QuickSumTest, OnlyTheFirst8191BytesOfALongInputAreDigested) {
    std::string text;
    for (int i = 0; i < 10000; ++i) {
        text += static_cast<char>('a' + (i * 7) % 26);
    }
    std::string expected = EngineDigest(DigestMD5, text.substr(0, 8191));
    ASSERT_NE(expected, EngineDigest(DigestMD5, text.substr(0, 8192)));

    HWND dialog = Open();
    ASSERT_NE(dialog, nullptr);
    SendMessageA(Item(dialog, IDC_TEXT_INPUT), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    ASSERT_EQ(SendMessageA(Item(dialog, IDC_TEXT_INPUT), WM_GETTEXTLENGTH, 0, 0), 10000)
        << "the input field does not hold the whole text";
    Choose(dialog, DigestMD5);
    EXPECT_EQ(Press(dialog), expected);
}

TEST_F(QuickSumTest, PressingTwiceGivesTheSameText) {
    HWND dialog = Open();
    ASSERT_NE(dialog, nullptr);
    for (DigestKind kind : {DigestMD2, DigestMD4, DigestMD5, DigestCRC32}) {
        std::string first = Compute(dialog, "The quick brown fox", kind);
        EXPECT_EQ(first, EngineDigest(kind, "The quick brown fox")) << AlgorithmNames[kind];
        EXPECT_EQ(Press(dialog), first) << AlgorithmNames[kind];
    }
}

TEST_F(QuickSumTest, ChangingTheAlgorithmKeepsTheShownDigestUntilThePress) {
    HWND dialog = Open();
    ASSERT_NE(dialog, nullptr);
    ASSERT_EQ(Compute(dialog, "abc", DigestMD5), "900150983cd24fb0d6963f7d28e17f72");
    Choose(dialog, DigestCRC32);
    EXPECT_EQ(WindowText(Item(dialog, IDC_DIGEST_OUTPUT)), "900150983cd24fb0d6963f7d28e17f72");
    Choose(dialog, DigestMD2);
    EXPECT_EQ(WindowText(Item(dialog, IDC_DIGEST_OUTPUT)), "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(Press(dialog), "da853b0d3f88d99b30283a69e6ded6bb");
}

TEST_F(QuickSumTest, EnterAndEscapeLeaveTheDialogOpen) {
    HWND dialog = Open();
    ASSERT_NE(dialog, nullptr);
    HWND input = Item(dialog, IDC_TEXT_INPUT);
    // The commands themselves.
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_TRUE(IsWindow(dialog));
    // The keys, through the dialog's own loop. A character posted behind each
    // key arrives only while the dialog still runs that loop.
    const struct {
        WPARAM key;
        char mark;
    } keys[] = {{VK_RETURN, 'r'}, {VK_ESCAPE, 'e'}};
    std::string expected;
    for (const auto& key : keys) {
        PostMessageA(input, WM_KEYDOWN, key.key, 1);
        PostMessageA(input, WM_KEYUP, key.key, 0xC0000001);
        PostMessageA(input, WM_CHAR, key.mark, 1);
        expected += key.mark;
        EXPECT_TRUE(WaitFor([&] { return !IsWindow(dialog) || WindowText(input) == expected; }));
        ASSERT_TRUE(IsWindow(dialog)) << "the key closed the dialog";
        EXPECT_TRUE(IsWindowVisible(dialog));
    }
    EXPECT_FALSE(IsWindowEnabled(m_window));
    // Still at work after both keys.
    Choose(dialog, DigestMD5);
    EXPECT_EQ(Press(dialog), EngineDigest(DigestMD5, expected));
}

TEST_F(QuickSumTest, SystemCloseEndsTheDialog) {
    HWND dialog = Open();
    ASSERT_NE(dialog, nullptr);
    ExpectClosedBy(dialog, WM_SYSCOMMAND, SC_CLOSE);
}

TEST_F(QuickSumTest, CloseMessageEndsTheDialog) {
    HWND dialog = Open();
    ASSERT_NE(dialog, nullptr);
    ExpectClosedBy(dialog, WM_CLOSE, 0);
}

TEST_F(QuickSumTest, ReopenedDialogStartsEmptyWithMd5) {
    HWND dialog = Open();
    ASSERT_NE(dialog, nullptr);
    ASSERT_EQ(Compute(dialog, "abc", DigestCRC32), "ca6598d0");
    ExpectClosedBy(dialog, WM_SYSCOMMAND, SC_CLOSE);

    dialog = Open();
    ASSERT_NE(dialog, nullptr) << "the dialog did not open a second time";
    EXPECT_EQ(WindowText(Item(dialog, IDC_TEXT_INPUT)), "");
    EXPECT_EQ(WindowText(Item(dialog, IDC_DIGEST_OUTPUT)), "");
    EXPECT_EQ(Selection(Item(dialog, IDC_ALGORITHM)), DigestMD5);
    ExpectClosedBy(dialog, WM_CLOSE, 0);
}

} // namespace
