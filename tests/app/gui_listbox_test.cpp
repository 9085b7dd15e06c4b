#include <windows.h>

#include <gtest/gtest.h>

#include <string.h>
#include <string>
#include <vector>

#include "base/app_state.h"
#include "base/gui_listbox.h"
#include "main_window_session.h"
#include "main_window_test.h"
#include "pixel_capture.h"
#include "res/resource.h"

namespace {

const COLORREF Light = RGB(0xE1, 0xE1, 0xE1);
const COLORREF Dark = RGB(0x59, 0x59, 0x59);
const COLORREF Black = RGB(0, 0, 0);
const COLORREF White = RGB(255, 255, 255);
// Single line, vertically centred, no clipping, '&' as it is, ellipsis at the end.
const UINT EntryFlags = DT_SINGLELINE | DT_VCENTER | DT_NOCLIP | DT_NOPREFIX | DT_END_ELLIPSIS;

// The file list as seen from a worker: the wrapper FileList of the running main window.
class GuiListboxTest : public MainWindowTest {
protected:
    std::string Entry(int index) {
        char text[2048] = "";
        SendMessageA(m_list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text));
        return text;
    }
    RECT ItemRect(int index) {
        RECT rect = {};
        SendMessageA(m_list, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rect));
        return rect;
    }
    HFONT ListFont() { return reinterpret_cast<HFONT>(SendMessageA(m_list, WM_GETFONT, 0, 0)); }

    // Pixels of colour inside the bar of item (everything but its one-pixel frame).
    static int CountInBar(const Pixels& pixels, const RECT& item, COLORREF colour) {
        int count = 0;
        for (int y = item.top + 1; y < item.bottom - 1; ++y) {
            for (int x = item.left + 1; x < item.right - 1; ++x) {
                count += pixels.At(x, y) == colour;
            }
        }
        return count;
    }

    // Pixels of the frame of item (its outer column on each side, its top and bottom row) that are not
    // colour.
    static int FrameNotOf(const Pixels& pixels, const RECT& item, COLORREF colour) {
        int wrong = 0;
        for (int y = item.top; y < item.bottom; ++y) {
            wrong += pixels.At(item.left, y) != colour;
            wrong += pixels.At(item.right - 1, y) != colour;
        }
        for (int x = item.left; x < item.right; ++x) {
            wrong += pixels.At(x, item.top) != colour;
            wrong += pixels.At(x, item.bottom - 1) != colour;
        }
        return wrong;
    }
};

TEST_F(GuiListboxTest, DrawingRecordHangsOnTheListAndItsParent) {
    EXPECT_TRUE(FileList->IsSetUp());
    void* onList = GetPropA(m_list, "VarnoLibraryGuiListbox");
    EXPECT_NE(onList, nullptr);
    EXPECT_EQ(GetPropA(m_window, "VarnoLibraryGuiListbox"), onList);
}

TEST_F(GuiListboxTest, EmptyListHasNoEntriesAndNoSelection) {
    EXPECT_EQ(FileList->EntryCount(), 0);
    char buffer[PathBufferSize];
    memset(buffer, '#', sizeof buffer);
    EXPECT_FALSE(FileList->GetSelectedEntry(buffer));
    EXPECT_FALSE(FileList->GetEntry(0, buffer));
    EXPECT_EQ(std::string(buffer, sizeof buffer), std::string(sizeof buffer, '#'));
}

TEST_F(GuiListboxTest, EntriesKeepTheOrderTheyWereAddedOrInsertedIn) {
    EXPECT_EQ(FileList->AddEntry("a"), 0);
    EXPECT_EQ(FileList->AddEntry("c"), 1);
    EXPECT_EQ(FileList->InsertEntry(1, "b"), 1);
    EXPECT_EQ(FileList->InsertEntry(-1, "d"), 3);
    EXPECT_EQ(FileList->EntryCount(), 4);
    const char* expected[] = {"a", "b", "c", "d"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(Entry(i), expected[i]) << i;
        char buffer[PathBufferSize] = "";
        EXPECT_TRUE(FileList->GetEntry(i, buffer));
        EXPECT_STREQ(buffer, expected[i]);
    }
}

TEST_F(GuiListboxTest, DeleteThenInsertReplacesAnEntryInPlace) {
    FileList->AddEntry("C:\\a.txt");
    FileList->AddEntry("C:\\b.txt");
    FileList->AddEntry("C:\\c.txt");
    EXPECT_EQ(FileList->DeleteEntry(1), 2);
    EXPECT_EQ(FileList->InsertEntry(1, "result of b"), 1);
    EXPECT_EQ(FileList->EntryCount(), 3);
    EXPECT_EQ(Entry(0), "C:\\a.txt");
    EXPECT_EQ(Entry(1), "result of b");
    EXPECT_EQ(Entry(2), "C:\\c.txt");
    EXPECT_EQ(FileList->DeleteEntry(7), LB_ERR);
}

TEST_F(GuiListboxTest, ClearRemovesEveryEntry) {
    FileList->AddEntry("one");
    FileList->AddEntry("two");
    FileList->ClearEntries();
    EXPECT_EQ(FileList->EntryCount(), 0);
    EXPECT_EQ(SendMessageA(m_list, LB_GETCOUNT, 0, 0), 0);
}

TEST_F(GuiListboxTest, SelectionIsSetReadAndRemoved) {
    FileList->AddEntry("first");
    FileList->AddEntry("second");
    FileList->AddEntry("third");
    EXPECT_EQ(FileList->SetSelection(2), 2);
    EXPECT_EQ(SendMessageA(m_list, LB_GETCURSEL, 0, 0), 2);
    char buffer[PathBufferSize] = "";
    EXPECT_TRUE(FileList->GetSelectedEntry(buffer));
    EXPECT_STREQ(buffer, "third");

    FileList->SetSelection(-1);
    EXPECT_EQ(SendMessageA(m_list, LB_GETCURSEL, 0, 0), LB_ERR);
    memset(buffer, '#', sizeof buffer);
    EXPECT_FALSE(FileList->GetSelectedEntry(buffer));
    EXPECT_EQ(std::string(buffer, sizeof buffer), std::string(sizeof buffer, '#'));
}

TEST_F(GuiListboxTest, LinesOf520CharactersOrMoreAreRefused) {
    std::string longest(519, 'p');
    std::string tooLong(520, 'q');
    EXPECT_EQ(FileList->AddEntry(longest.c_str()), 0);
    EXPECT_EQ(FileList->AddEntry(tooLong.c_str()), LB_ERR);
    EXPECT_EQ(FileList->InsertEntry(0, tooLong.c_str()), LB_ERR);
    EXPECT_EQ(SendMessageA(m_list, LB_GETCOUNT, 0, 0), 1);
    char buffer[PathBufferSize] = "";
    EXPECT_TRUE(FileList->GetEntry(0, buffer));
    EXPECT_EQ(std::string(buffer), longest);
}

TEST_F(GuiListboxTest, ReadersRefuseAnEntryTooLongForTheirBuffer) {
    // Put there behind the wrapper's back; a reader must still not overrun 520 bytes.
    std::string tooLong(520, 'r');
    std::string muchTooLong(2000, 's');
    SendMessageA(m_list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(tooLong.c_str()));
    SendMessageA(m_list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(muchTooLong.c_str()));
    ASSERT_EQ(SendMessageA(m_list, LB_GETCOUNT, 0, 0), 2);

    std::vector<char> buffer(4096, '#');
    EXPECT_FALSE(FileList->GetEntry(0, buffer.data()));
    EXPECT_FALSE(FileList->GetEntry(1, buffer.data()));
    FileList->SetSelection(0);
    EXPECT_FALSE(FileList->GetSelectedEntry(buffer.data()));
    EXPECT_EQ(std::string(buffer.begin(), buffer.end()), std::string(4096, '#'));
}

INT_PTR CALLBACK PlainDialogProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

TEST_F(GuiListboxTest, ItemHeightIsTheSystemsChoicePlusSix) {
    // The same template without the wrapper: the height the system picks for the dialog font.
    LRESULT plainHeight = 0;
    m_session->OnWindowThread([&] {
        HWND plain = CreateDialogParamA(AppInstance, MAKEINTRESOURCEA(IDD_MAIN), NULL, PlainDialogProc, 0);
        plainHeight = SendMessageA(GetDlgItem(plain, IDC_FILE_LIST), LB_GETITEMHEIGHT, 0, 0);
        DestroyWindow(plain);
    });
    ASSERT_GT(plainHeight, 0);
    EXPECT_EQ(SendMessageA(m_list, LB_GETITEMHEIGHT, 0, 0), plainHeight + 6);
}

TEST_F(GuiListboxTest, EntriesAreLightBarsWithBlackTextAndTheSelectedOneDarkWithWhite) {
    FileList->AddEntry("first entry");
    FileList->AddEntry("second entry");
    FileList->AddEntry("third entry");
    FileList->SetSelection(1);
    Pixels list = CaptureList(m_list);
    RECT first = ItemRect(0), second = ItemRect(1), third = ItemRect(2);
    int width = first.right - first.left, height = first.bottom - first.top;
    ASSERT_GT(list.height, third.bottom + 4);

    // Below the last entry the list shows only its background.
    COLORREF background = list.At(list.width / 2, list.height - 2);
    EXPECT_NE(background, Light);
    EXPECT_NE(background, Dark);

    EXPECT_EQ(list.At(first.left + 1, first.top + 1), Light);
    EXPECT_EQ(list.At(first.right - 2, first.bottom - 2), Light);
    EXPECT_GT(CountInBar(list, first, Black), 10);
    EXPECT_EQ(CountInBar(list, first, White), 0);

    EXPECT_EQ(list.At(second.left + 1, second.top + 1), Dark);
    EXPECT_EQ(list.At(second.right - 2, second.bottom - 2), Dark);
    EXPECT_GT(CountInBar(list, second, White), 10);
    EXPECT_EQ(CountInBar(list, second, Black), 0) << "the normal look shows through the selected one";

    // One column of background at each side, one row at the top and the bottom
    // of every item: two rows between neighbours.
    EXPECT_EQ(FrameNotOf(list, first, background), 0);
    EXPECT_EQ(FrameNotOf(list, second, background), 0);
    EXPECT_EQ(FrameNotOf(list, third, background), 0);
    EXPECT_EQ(second.top, first.bottom);

    HFONT font = ListFont();
    EXPECT_TRUE(SameBar(list, first, RenderBar(font, width, height, "first entry", EntryFlags, false)));
    EXPECT_TRUE(SameBar(list, second, RenderBar(font, width, height, "second entry", EntryFlags, true)));
    EXPECT_TRUE(SameBar(list, third, RenderBar(font, width, height, "third entry", EntryFlags, false)));
}

TEST_F(GuiListboxTest, AmpersandIsDrawnAsItIs) {
    FileList->AddEntry("a&b");
    Pixels list = CaptureList(m_list);
    RECT item = ItemRect(0);
    int width = item.right - item.left, height = item.bottom - item.top;
    HFONT font = ListFont();
    EXPECT_TRUE(SameBar(list, item, RenderBar(font, width, height, "a&b", EntryFlags, false)));
    // Drawn as a prefix the '&' would vanish and underline the b.
    EXPECT_FALSE(
        SameBar(list, item, RenderBar(font, width, height, "a&b", EntryFlags & ~DT_NOPREFIX, false)));
}

TEST_F(GuiListboxTest, EntryWiderThanTheListEndsInAnEllipsis) {
    std::string text = "C:\\" + std::string(300, 'W') + "\\end.txt";
    FileList->AddEntry(text.c_str());
    Pixels list = CaptureList(m_list);
    RECT item = ItemRect(0);
    int width = item.right - item.left, height = item.bottom - item.top;
    HFONT font = ListFont();
    EXPECT_TRUE(SameBar(list, item, RenderBar(font, width, height, text.c_str(), EntryFlags, false)));
    EXPECT_FALSE(SameBar(list, item,
                         RenderBar(font, width, height, text.c_str(), EntryFlags & ~DT_END_ELLIPSIS, false)));
}

TEST_F(GuiListboxTest, EntryTooLongToPaintStillGetsItsBar) {
    std::string huge(3000, 'h');
    SendMessageA(m_list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(huge.c_str()));
    Pixels list = CaptureList(m_list);
    RECT item = ItemRect(0);
    EXPECT_EQ(list.At(item.left + 1, item.top + 1), Light);
    EXPECT_EQ(list.At(item.right - 2, item.bottom - 2), Light);
    EXPECT_TRUE(IsWindow(m_window));
}

TEST_F(GuiListboxTest, DrawItemMeantForOthersIsPassedOnAndFocusAlonePaintsNothing) {
    FileList->AddEntry("entry");
    RECT item = ItemRect(0);
    int width = item.right - item.left, height = item.bottom - item.top;
    HWND button = NULL;
    HWND otherList = NULL;
    m_session->OnWindowThread([&] {
        button = CreateWindowExA(0, "Button", "", WS_CHILD | BS_OWNERDRAW, 0, 0, 20, 20, m_window,
                                 reinterpret_cast<HMENU>(4242), GetModuleHandleA(NULL), NULL);
        otherList =
            CreateWindowExA(0, "ListBox", "", WS_CHILD | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS, 0, 0, 50, 50,
                            m_window, reinterpret_cast<HMENU>(4243), GetModuleHandleA(NULL), NULL);
        SendMessageA(otherList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("other"));
    });
    ASSERT_NE(button, nullptr);
    ASSERT_NE(otherList, nullptr);

    auto paint = [&](UINT controlType, UINT controlId, UINT itemId, UINT action, HWND control,
                     LRESULT* result) {
        Canvas canvas(width, height, Untouched);
        DRAWITEMSTRUCT draw = {controlType,           controlId, itemId, action, 0, control, canvas.Dc(),
                               {0, 0, width, height}, 0};
        *result = SendMessageA(m_window, WM_DRAWITEM, controlId, reinterpret_cast<LPARAM>(&draw));
        return canvas.Read();
    };
    auto untouched = [](const Pixels& pixels) {
        for (COLORREF colour : pixels.colours) {
            if (colour != Untouched) {
                return false;
            }
        }
        return true;
    };

    // The same message for the file list's entry paints it: the crafted messages reach the drawing.
    LRESULT result = 0;
    Pixels drawn = paint(ODT_LISTBOX, IDC_FILE_LIST, 0, ODA_DRAWENTIRE, m_list, &result);
    EXPECT_EQ(result, TRUE);
    EXPECT_EQ(drawn.At(1, 1), Light);

    EXPECT_TRUE(
        untouched(paint(ODT_LISTBOX, IDC_FILE_LIST, static_cast<UINT>(-1), ODA_DRAWENTIRE, m_list, &result)))
        << "item -1 was painted";
    EXPECT_TRUE(untouched(paint(ODT_BUTTON, 4242, 0, ODA_DRAWENTIRE, button, &result)))
        << "another control's item was painted";
    EXPECT_TRUE(untouched(paint(ODT_LISTBOX, 4243, 0, ODA_DRAWENTIRE, otherList, &result)))
        << "another list's item was painted";
    EXPECT_TRUE(untouched(paint(ODT_BUTTON, IDC_FILE_LIST, 0, ODA_DRAWENTIRE, m_list, &result)))
        << "an item that is not a list box's was painted";

    EXPECT_TRUE(untouched(paint(ODT_LISTBOX, IDC_FILE_LIST, 0, ODA_FOCUS, m_list, &result)))
        << "a focus change painted";
    EXPECT_EQ(result, TRUE);

    m_session->OnWindowThread([&] {
        DestroyWindow(button);
        DestroyWindow(otherList);
    });
}

TEST_F(GuiListboxTest, ResizeRepaintsTheWholeList) {
    RECT client = {}, update = {};
    BOOL pending = FALSE;
    // On the window thread, so that no paint can come between the resize and the look at the update region.
    m_session->OnWindowThread([&] {
        GetClientRect(m_list, &client);
        ValidateRect(m_list, NULL);
        SendMessageA(m_list, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
        pending = GetUpdateRect(m_list, &update, FALSE);
    });
    EXPECT_TRUE(pending);
    EXPECT_EQ(update.left, client.left);
    EXPECT_EQ(update.top, client.top);
    EXPECT_EQ(update.right, client.right);
    EXPECT_EQ(update.bottom, client.bottom);
}

} // namespace
