#include "tools/show_about.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <stdint.h>
#include <string.h>

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "base/app_state.h"
#include "base/load_text.h"
#include "companion/varnolib.h"
#include "import_hook.h"
#include "res/resource.h"
#include "tool_window_test.h"

namespace {

const WORD ShowAboutBoxOrdinal = 3;
const size_t RecordSize = 72;

// One call of ordinal 3 as the library would have received it: the record's
// bytes, and the texts it points to, copied during the call (the extra text
// lies in a buffer the next string load overwrites).
struct AboutCall {
    unsigned char record[RecordSize];
    std::string title;
    std::string copyright;
    std::string author;
    std::string author2;
    std::string extra;
    DWORD threadId;
};

template <typename T> T At(const unsigned char* record, size_t offset) {
    T value;
    memcpy(&value, record + offset, sizeof value);
    return value;
}

std::string TextAt(const unsigned char* record, size_t offset) {
    const char* text = At<const char*>(record, offset);
    return text ? text : "";
}

typedef int32_t (*ShowAboutBoxFunction)(const AboutInfo* info);

std::mutex CallsLock;
std::vector<AboutCall> Calls;
ShowAboutBoxFunction LibraryShowAboutBox = NULL; // the real ordinal 3
std::atomic<bool> ForwardToLibrary{false};
std::atomic<int32_t> LibraryResult{-1};

// Takes the program's calls of ordinal 3; passes them on to the library only
// when a test wants the real box.
int32_t RecordShowAboutBox(const AboutInfo* info) {
    AboutCall call = {};
    memcpy(call.record, info, RecordSize);
    call.title = TextAt(call.record, 24);
    call.copyright = TextAt(call.record, 40);
    call.author = TextAt(call.record, 48);
    call.author2 = TextAt(call.record, 56);
    call.extra = TextAt(call.record, 64);
    call.threadId = GetCurrentThreadId();
    {
        std::lock_guard<std::mutex> lock(CallsLock);
        Calls.push_back(call);
    }
    if (!ForwardToLibrary.load()) {
        return 1;
    }
    int32_t result = LibraryShowAboutBox(info);
    LibraryResult = result;
    return result;
}

std::vector<AboutCall> TakenCalls() {
    std::lock_guard<std::mutex> lock(CallsLock);
    return Calls;
}

// A text of the program's version block, which the test program carries too.
std::string VersionText(const char* name) {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(NULL, path, sizeof path);
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(path, &ignored);
    if (size == 0) {
        return "";
    }
    std::vector<char> block(size);
    if (!GetFileVersionInfoA(path, 0, size, block.data())) {
        return "";
    }
    WORD* translation = NULL;
    UINT length = 0;
    if (!VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                        &length) ||
        length < 2 * sizeof(WORD)) {
        return "";
    }
    char query[128];
    wsprintfA(query, "\\StringFileInfo\\%04x%04x\\%s", translation[0], translation[1], name);
    char* text = NULL;
    if (!VerQueryValueA(block.data(), query, reinterpret_cast<void**>(&text), &length) || !text) {
        return "";
    }
    return text;
}

class ShowAboutTest : public ToolWindowTest {
protected:
    void SetUp() override {
        {
            std::lock_guard<std::mutex> lock(CallsLock);
            Calls.clear();
        }
        ForwardToLibrary = ForwardsToLibrary();
        LibraryResult = -1;
        void* previous = ReplaceImport(GetModuleHandleA(NULL), "VarnoLib64.dll", ShowAboutBoxOrdinal,
                                       reinterpret_cast<void*>(&RecordShowAboutBox));
        ASSERT_NE(previous, nullptr) << "the program does not import ordinal 3 of VarnoLib64.dll";
        m_replaced = true;
        if (previous != reinterpret_cast<void*>(&RecordShowAboutBox)) {
            LibraryShowAboutBox = reinterpret_cast<ShowAboutBoxFunction>(previous);
        }
        ToolWindowTest::SetUp();
    }

    void TearDown() override {
        ToolWindowTest::TearDown();
        if (m_replaced && LibraryShowAboutBox) {
            ReplaceImport(GetModuleHandleA(NULL), "VarnoLib64.dll", ShowAboutBoxOrdinal,
                          reinterpret_cast<void*>(LibraryShowAboutBox));
        }
    }

    virtual bool ForwardsToLibrary() const { return false; }

    // The menu command as the main window gets it; the recorder returns at once.
    void ChooseAbout() { SendMessageA(m_window, WM_COMMAND, IDM_ABOUT, 0); }

    // The fields every record of this program holds whatever the language module.
    void ExpectProgramFields(const AboutCall& call) {
        const unsigned char* record = call.record;
        EXPECT_EQ(At<HINSTANCE>(record, 0), GetModuleHandleA(NULL));
        EXPECT_EQ(At<HINSTANCE>(record, 0), AppInstance);
        EXPECT_EQ(At<HWND>(record, 8), m_window);
        HICON icon = LoadIconA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDI_APP));
        ASSERT_NE(icon, nullptr);
        EXPECT_EQ(At<HICON>(record, 16), icon);
        EXPECT_NE(At<const char*>(record, 24), nullptr);
        EXPECT_EQ(call.title, AppTitle);
        EXPECT_EQ(At<int32_t>(record, 32), 286);
        EXPECT_EQ(At<int32_t>(record, 36), 0);

        std::string copyright = VersionText("LegalCopyright");
        ASSERT_FALSE(copyright.empty()) << "no copyright line in the version block";
        EXPECT_NE(At<const char*>(record, 40), nullptr);
        EXPECT_EQ(call.copyright, copyright) << "not the version block's copyright line";
        EXPECT_NE(At<const char*>(record, 48), nullptr);
        EXPECT_NE(At<const char*>(record, 56), nullptr);
        EXPECT_FALSE(call.author.empty());
        EXPECT_EQ(call.author2, call.author);
        EXPECT_NE(call.copyright.find(call.author), std::string::npos)
            << "the copyright line names another maker";
        EXPECT_EQ(call.threadId, m_session->ThreadId()) << "not called on the window thread";
    }

    bool m_replaced = false;
};

TEST_F(ShowAboutTest, RecordHoldsTheProgramsFieldsAsTheLibraryReceivesThem) {
    ChooseAbout();
    std::vector<AboutCall> calls = TakenCalls();
    ASSERT_EQ(calls.size(), 1u) << "ordinal 3 was not called once";
    ExpectProgramFields(calls[0]);
    std::string extra = ModuleString(m_language, IDS_ABOUT_TEXT);
    ASSERT_FALSE(extra.empty());
    EXPECT_NE(At<const char*>(calls[0].record, 64), nullptr);
    EXPECT_EQ(calls[0].extra, extra);
}

TEST_F(ShowAboutTest, SecondCommandBuildsTheSameRecordAnew) {
    ChooseAbout();
    // Another string load overwrites the text the first record pointed to.
    std::string other;
    m_session->OnWindowThread([&] {
        const char* text = LoadText(IDS_START);
        other = text ? text : "";
    });
    ASSERT_FALSE(other.empty());
    ChooseAbout();
    std::vector<AboutCall> calls = TakenCalls();
    ASSERT_EQ(calls.size(), 2u);
    ExpectProgramFields(calls[1]);
    EXPECT_EQ(memcmp(calls[0].record, calls[1].record, RecordSize), 0);
    EXPECT_EQ(calls[1].title, calls[0].title);
    EXPECT_EQ(calls[1].copyright, calls[0].copyright);
    EXPECT_EQ(calls[1].author, calls[0].author);
    EXPECT_EQ(calls[1].author2, calls[0].author2);
    EXPECT_EQ(calls[1].extra, calls[0].extra);
    EXPECT_EQ(calls[1].extra, ModuleString(m_language, IDS_ABOUT_TEXT));
}

// A language module with menu 2000 but without string 5001.
class ShowAboutWithoutTextTest : public ShowAboutTest {
protected:
    const char* LanguageFile() const override { return "..\\tools_tests\\no_about.dll"; }
};

TEST_F(ShowAboutWithoutTextTest, ExtraTextIsNullAndTheCallIsStillMade) {
    ASSERT_TRUE(ModuleString(m_language, IDS_ABOUT_TEXT).empty()) << "the module holds string 5001";
    ChooseAbout();
    std::vector<AboutCall> calls = TakenCalls();
    ASSERT_EQ(calls.size(), 1u) << "ordinal 3 was not called";
    ExpectProgramFields(calls[0]);
    EXPECT_EQ(At<const char*>(calls[0].record, 64), nullptr);
}

// The real library's box, answered OK by the session's watcher.
class ShowAboutBoxTest : public ShowAboutTest {
protected:
    bool ForwardsToLibrary() const override { return true; }
};

TEST_F(ShowAboutBoxTest, BoxAppearsWithTheTitleAndClosesWithOk) {
    ASSERT_NE(LibraryShowAboutBox, nullptr);
    PostMessageA(m_window, WM_COMMAND, IDM_ABOUT, 0);
    std::string title = AppTitle;
    EXPECT_TRUE(WaitFor([&] { return DialogsSeen(title) == 1; })) << "no about box titled " << title;
    EXPECT_TRUE(WaitFor([] { return LibraryResult.load() != -1; })) << "the about box did not close";
    EXPECT_EQ(LibraryResult.load(), 1) << "the box did not end with OK";
    EXPECT_TRUE(WaitForMainWindowIdle());
    EXPECT_EQ(TakenCalls().size(), 1u);
}

} // namespace
