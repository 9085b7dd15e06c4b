#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "base/app_state.h"
#include "base/load_text.h"
#include "main_window_session.h"
#include "main_window_test.h"
#include "res/resource.h"

namespace {

// No string of the language modules has this number.
const UINT AbsentId = 4999;

class LoadTextTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_module = LoadLibraryA(LanguagePath("1033.dll").c_str());
        ASSERT_NE(m_module, nullptr);
        LanguageModule = m_module;
    }
    void TearDown() override {
        LanguageModule = NULL;
        FreeLibrary(m_module);
    }

    HMODULE m_module = NULL;
};

TEST_F(LoadTextTest, GivesTheLanguageModulesString) {
    std::string expected = ModuleString(m_module, IDS_START);
    ASSERT_FALSE(expected.empty());
    const char* text = LoadText(IDS_START);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text, expected);
}

TEST_F(LoadTextTest, AbsentIdGivesNull) {
    ASSERT_EQ(ModuleString(m_module, AbsentId), "");
    EXPECT_EQ(LoadText(AbsentId), nullptr);
}

TEST_F(LoadTextTest, FollowsTheModuleInLanguageModule) {
    HMODULE german = LoadLibraryA(LanguagePath("1031.dll").c_str());
    ASSERT_NE(german, nullptr);
    std::string expected = ModuleString(german, IDS_ALGORITHM_LABEL);
    ASSERT_NE(expected, ModuleString(m_module, IDS_ALGORITHM_LABEL));
    LanguageModule = german;
    const char* text = LoadText(IDS_ALGORITHM_LABEL);
    LanguageModule = m_module;
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text, expected);
    FreeLibrary(german);
}

TEST_F(LoadTextTest, SecondLoadOnTheSameThreadOverwritesTheFirst) {
    std::string start = ModuleString(m_module, IDS_START);
    std::string label = ModuleString(m_module, IDS_ALGORITHM_LABEL);
    ASSERT_NE(start, label);
    const char* first = LoadText(IDS_START);
    ASSERT_NE(first, nullptr);
    ASSERT_EQ(first, start);
    const char* second = LoadText(IDS_ALGORITHM_LABEL);
    EXPECT_EQ(second, first);
    EXPECT_EQ(first, label);
}

struct OtherThreadLoad {
    HANDLE loaded;
    HANDLE proceed;
    const char* text;
    std::string textAfterward;
};

DWORD WINAPI LoadStartThenWait(void* parameter) {
    OtherThreadLoad* load = static_cast<OtherThreadLoad*>(parameter);
    load->text = LoadText(IDS_START);
    SetEvent(load->loaded);
    WaitForSingleObject(load->proceed, 20000);
    load->textAfterward = load->text ? load->text : "(null)";
    return 0;
}

TEST_F(LoadTextTest, EachThreadKeepsItsOwnText) {
    std::string start = ModuleString(m_module, IDS_START);
    std::string label = ModuleString(m_module, IDS_ALGORITHM_LABEL);
    ASSERT_NE(start, label);

    OtherThreadLoad load = {CreateEventA(NULL, TRUE, FALSE, NULL), CreateEventA(NULL, TRUE, FALSE, NULL),
                            nullptr, ""};
    HANDLE thread = CreateThread(NULL, 0, LoadStartThenWait, &load, 0, NULL);
    ASSERT_EQ(WaitForSingleObject(load.loaded, 20000), WAIT_OBJECT_0);

    // This thread loads another text while the other one still holds its own.
    const char* mine = LoadText(IDS_ALGORITHM_LABEL);
    SetEvent(load.proceed);
    ASSERT_EQ(WaitForSingleObject(thread, 20000), WAIT_OBJECT_0);

    ASSERT_NE(mine, nullptr);
    EXPECT_EQ(mine, label);
    EXPECT_NE(load.text, mine);
    EXPECT_EQ(load.textAfterward, start);
    CloseHandle(thread);
    CloseHandle(load.loaded);
    CloseHandle(load.proceed);
}

} // namespace
