// Held painting of the file list: changes draw nothing while the list is
// held, and the whole list is drawn again once the last hold ends.
#include "base/list_painting.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "base/app_state.h"
#include "base/gui_listbox.h"
#include "main_window_session.h"
#include "main_window_test.h"
#include "sent_message_hook.h"

namespace {

class ListPaintingTest : public MainWindowTest {
protected:
    // Runs steps on the window thread, where painting happens only when its
    // messages are handled, so no paint can come in between the steps.
    void OnWindowThread(const std::function<void()>& steps) { m_session->OnWindowThread(steps); }

    // Whether the list draws any entry when change is followed by an
    // immediate repaint of whatever the list has left to paint.
    bool DrawsAfter(const std::function<void()>& change) {
        int drawn = 0;
        HWND list = m_list;
        SentMessageHook hook(
            *m_session, [&drawn](HWND, UINT message, WPARAM, LPARAM) { drawn += message == WM_DRAWITEM; });
        EXPECT_TRUE(hook.Installed());
        OnWindowThread([&] {
            UpdateWindow(list);
            drawn = 0;
            change();
            UpdateWindow(list);
        });
        return drawn > 0;
    }
};

TEST_F(ListPaintingTest, ChangesOfAFreeListPaintAtOnce) {
    EXPECT_TRUE(DrawsAfter([] { FileList->AddEntry("C:\\one.txt"); }));
    EXPECT_FALSE(ListPaintingHeld());
}

TEST_F(ListPaintingTest, HeldListPaintsNothingUntilTheHoldEnds) {
    EXPECT_FALSE(DrawsAfter([] {
        HoldListPainting();
        FileList->AddEntry("C:\\one.txt");
        FileList->DeleteEntry(0);
        FileList->InsertEntry(0, "C:\\two.txt");
    }));
    EXPECT_TRUE(ListPaintingHeld());
    EXPECT_TRUE(DrawsAfter([] { ReleaseListPainting(); }));
    EXPECT_FALSE(ListPaintingHeld());
    EXPECT_TRUE(DrawsAfter([] { FileList->AddEntry("C:\\three.txt"); }));
}

TEST_F(ListPaintingTest, HoldsNestAndAnUnheldReleaseDoesNothing) {
    EXPECT_FALSE(DrawsAfter([] {
        HoldListPainting();
        HoldListPainting();
        ReleaseListPainting();
        FileList->AddEntry("C:\\one.txt");
    }));
    EXPECT_TRUE(DrawsAfter([] { ReleaseListPainting(); }));
    EXPECT_TRUE(DrawsAfter([] {
        ReleaseListPainting();
        FileList->AddEntry("C:\\two.txt");
    }));
}

TEST_F(ListPaintingTest, TimerPaintsTheHeldListAndKeepsItHeld) {
    EXPECT_FALSE(DrawsAfter([] {
        HoldListPainting();
        FileList->AddEntry("C:\\one.txt");
    }));
    EXPECT_TRUE(DrawsAfter([] { PaintHeldList(); }));
    EXPECT_FALSE(DrawsAfter([] { FileList->AddEntry("C:\\two.txt"); }));
    OnWindowThread([] { ReleaseListPainting(); });
}

} // namespace
