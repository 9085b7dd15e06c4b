#include "main_window_test.h"

#include "base/app_state.h"
#include "base/list_painting.h"
#include "res/resource.h"

std::string WindowText(HWND window) {
    char text[2048] = "";
    SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

std::string ModuleString(HMODULE module, UINT id) {
    char text[1024] = "";
    LoadStringA(module, id, text, sizeof text);
    return text;
}

void MainWindowTest::SetUp() {
    ASSERT_TRUE(PrepareProcessState()) << "the companion library refused to start";
    m_languagePath = LanguagePath(LanguageFile());
    m_language = LoadLibraryA(m_languagePath.c_str());
    ASSERT_NE(m_language, nullptr) << m_languagePath;
    m_session.reset(new MainWindowSession(m_language));
    m_window = m_session->WaitForWindow();
    ASSERT_NE(m_window, nullptr) << "the main window did not come up";
    m_list = m_session->Control(IDC_FILE_LIST);
}

void MainWindowTest::TearDown() {
    if (!m_session) {
        return;
    }
    INT_PTR result = 0;
    if (m_window && IsWindow(m_window)) {
        SendMessageA(m_window, WM_CLOSE, 0, 0);
    }
    EXPECT_TRUE(m_session->WaitForEnd(&result)) << "the main window did not close";
    EXPECT_EQ(m_session->Boxes().Seen().size(), m_expectedBoxes) << "unexpected message boxes";
    m_session.reset();
}

INT_PTR MainWindowTest::CloseWith(UINT message, WPARAM wParam, LPARAM lParam) {
    SendMessageA(m_window, message, wParam, lParam);
    INT_PTR result = -2;
    EXPECT_TRUE(m_session->WaitForEnd(&result)) << "the main window did not close";
    return result;
}

void MainWindowTest::ExpectIdleLook() {
    EXPECT_TRUE(IsWindowEnabled(m_list));
    EXPECT_TRUE(IsWindowVisible(m_session->Control(IDC_SELECTED_PATH)));
    EXPECT_FALSE(IsWindowVisible(m_session->Control(IDC_MAIN_PROGRESS)));
    EXPECT_TRUE(IsWindowEnabled(m_session->Control(IDC_START)));
    EXPECT_EQ(WindowText(m_session->Control(IDC_START)), ModuleString(m_language, IDS_START));
    EXPECT_EQ(PendingFolders.storage, nullptr) << "the queue was not freed";
}

bool MainWindowTest::ListPaintingHeld() {
    bool runs = false;
    m_session->OnWindowThread([&runs] {
        runs = KillTimer(MainWindow, ListPaintTimer) != FALSE;
        if (runs) {
            SetTimer(MainWindow, ListPaintTimer, 100, NULL);
        }
    });
    return runs;
}
