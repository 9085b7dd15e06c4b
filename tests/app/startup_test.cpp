#include <windows.h>

#include <gtest/gtest.h>

#include <string.h>
#include <string>

#include "base/app_state.h"
#include "app/startup.h"
#include "main_window_session.h"
#include "main_window_test.h"
#include "message_box_watcher.h"
#include "res/resource.h"

namespace {

TEST(LanguageChoice, GermanOfEveryRegionTakes1031) {
    const LANGID german[] = {0x0007, 0x0407, 0x0807, 0x0C07, 0x1007, 0x1407};
    for (LANGID language : german) {
        EXPECT_STREQ(LanguageModuleName(language), "1031.dll") << std::hex << language;
    }
}

TEST(LanguageChoice, EveryOtherLanguageTakes1033) {
    const LANGID others[] = {0x0409, 0x0809, 0x040C, 0x0411, 0x0413, 0x0000};
    for (LANGID language : others) {
        EXPECT_STREQ(LanguageModuleName(language), "1033.dll") << std::hex << language;
    }
}

TEST(LanguagePath, IsTheLangFolderBesideTheProgram) {
    char path[PathBufferSize];
    ASSERT_TRUE(BuildLanguagePath(path, "C:\\Program Files\\Digestor", 0x0807));
    EXPECT_STREQ(path, "C:\\Program Files\\Digestor\\lang\\1031.dll");
    ASSERT_TRUE(BuildLanguagePath(path, "D:\\tools", 0x0409));
    EXPECT_STREQ(path, "D:\\tools\\lang\\1033.dll");
}

TEST(LanguagePath, FolderTooLongForThePathBufferIsRefused) {
    // "\lang\" and "1033.dll" add 14 characters; 519 is the most a path holds.
    std::string folder = "C:\\" + std::string(505 - 3, 'f');
    char path[PathBufferSize + 16];
    ASSERT_TRUE(BuildLanguagePath(path, folder.c_str(), 0x0409));
    EXPECT_EQ(strlen(path), 519u);

    folder += 'f';
    memset(path, 'x', sizeof path);
    EXPECT_FALSE(BuildLanguagePath(path, folder.c_str(), 0x0409));
    EXPECT_STREQ(path, "");
    EXPECT_EQ(path[1], 'x');
}

// The whole start-up in this process: it starts the companion library itself,
// so ctest runs it in a process of its own (filter Startup.*).
struct StartupRun {
    int exitCode;
};

DWORD WINAPI RunStartup(void* parameter) {
    static_cast<StartupRun*>(parameter)->exitCode = RunDigestor(GetModuleHandleA(NULL));
    return 0;
}

TEST(Startup, FillsTheStateRunsTheMainWindowAndEndsWithOne) {
    StartupRun run = {-2};
    DWORD threadId = 0;
    HANDLE thread = CreateThread(NULL, 0, RunStartup, &run, CREATE_SUSPENDED, &threadId);
    MessageBoxWatcher boxes(threadId, IDC_FILE_LIST);
    ResumeThread(thread);

    HWND window = NULL;
    ASSERT_TRUE(WaitFor([&] {
        window = FindMainWindow(threadId);
        return window != NULL || WaitForSingleObject(thread, 0) == WAIT_OBJECT_0;
    }));
    ASSERT_NE(window, nullptr) << "start-up ended with " << run.exitCode;

    std::string languagePath = LanguagePath(LanguageModuleName(GetSystemDefaultLangID()));
    EXPECT_STREQ(AppTitle, "Digestor v3.3.0.286");
    EXPECT_STREQ(AppCaption, "Digestor");
    EXPECT_EQ(AppDirectory, ProgramFolder());
    EXPECT_EQ(AppInstance, GetModuleHandleA(NULL));
    ASSERT_NE(LanguageModule, nullptr);
    EXPECT_EQ(LanguageModule, GetModuleHandleA(languagePath.c_str()));
    EXPECT_EQ(MainWindow, window);
    EXPECT_EQ(WindowText(window), "Digestor");
    EXPECT_EQ(WindowText(GetDlgItem(window, IDC_START)), ModuleString(LanguageModule, IDS_START));

    SendMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_EQ(WaitForSingleObject(thread, 20000), WAIT_OBJECT_0);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(GetModuleHandleA(languagePath.c_str()), nullptr);
    EXPECT_TRUE(boxes.Seen().empty());
    CloseHandle(thread);
}

} // namespace
