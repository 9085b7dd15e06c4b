#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "base/app_state.h"
#include "base/show_message.h"
#include "main_window_session.h"
#include "main_window_test.h"
#include "message_box_watcher.h"
#include "res/resource.h"

namespace {

struct MessageCall {
    UINT textId;
    UINT flags;
    int answer;
};

DWORD WINAPI ShowOnThisThread(void* parameter) {
    MessageCall* call = static_cast<MessageCall*>(parameter);
    call->answer = ShowMessage(NULL, call->textId, call->flags);
    return 0;
}

class ShowMessageTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_module = LoadLibraryA(LanguagePath("1033.dll").c_str());
        ASSERT_NE(m_module, nullptr);
        LanguageModule = m_module;
        wsprintfA(AppCaption, "%s", "Digestor");
    }
    void TearDown() override {
        LanguageModule = NULL;
        FreeLibrary(m_module);
    }

    // Shows the message on a thread of its own and returns the one box the watcher answered.
    SeenMessageBox Show(MessageCall& call) {
        DWORD threadId = 0;
        HANDLE thread = CreateThread(NULL, 0, ShowOnThisThread, &call, CREATE_SUSPENDED, &threadId);
        SeenMessageBox seen = {};
        {
            MessageBoxWatcher watcher(threadId, 0xFFFFF);
            ResumeThread(thread);
            EXPECT_EQ(WaitForSingleObject(thread, 20000), WAIT_OBJECT_0)
                << "the message box was not answered";
            std::vector<SeenMessageBox> boxes = watcher.Seen();
            EXPECT_EQ(boxes.size(), 1u);
            if (!boxes.empty()) {
                seen = boxes[0];
            }
        }
        CloseHandle(thread);
        return seen;
    }

    HMODULE m_module = NULL;
};

TEST_F(ShowMessageTest, ShowsTheLanguageStringTitledWithTheProgramName) {
    MessageCall call = {IDS_SAVED, MB_TASKMODAL | MB_ICONINFORMATION, 0};
    SeenMessageBox seen = Show(call);
    std::string expected = ModuleString(m_module, IDS_SAVED);
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(seen.text, expected);
    EXPECT_EQ(seen.caption, "Digestor");
    EXPECT_EQ(seen.owner, nullptr);
    EXPECT_FALSE(seen.errorIcon);
    EXPECT_EQ(call.answer, IDOK);
}

TEST_F(ShowMessageTest, AppliesTheFlags) {
    MessageCall call = {IDS_THREAD_FAILED, MB_ICONERROR | MB_YESNO, 0};
    SeenMessageBox seen = Show(call);
    EXPECT_EQ(seen.text, ModuleString(m_module, IDS_THREAD_FAILED));
    EXPECT_TRUE(seen.errorIcon);
    EXPECT_TRUE(seen.hasYes);
    EXPECT_EQ(call.answer, IDYES);
}

TEST_F(ShowMessageTest, MissingStringShowsAnEmptyText) {
    MessageCall call = {4999, MB_ICONERROR, 0};
    SeenMessageBox seen = Show(call);
    EXPECT_EQ(seen.text, "");
    EXPECT_EQ(seen.caption, "Digestor");
    EXPECT_EQ(call.answer, IDOK);
}

} // namespace
