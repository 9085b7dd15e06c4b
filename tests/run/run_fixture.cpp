#include "tests/run/run_fixture.h"

#include <random>

#include "base/app_state.h"
#include "base/gui_listbox.h"
#include "res/resource.h"
#include "base/taskbar.h"
#include "tests/run/fake_taskbar.h"

const char* const DigestNames[4] = {"MD2", "MD4", "MD5", "CRC32"};

bool WriteBytes(const std::string& path, const std::vector<BYTE>& bytes) {
    HANDLE file =
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    BOOL ok =
        bytes.empty() || WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, NULL);
    CloseHandle(file);
    return ok && written == bytes.size();
}

std::vector<BYTE> RandomBytes(size_t size, unsigned seed) {
    std::mt19937 generator(seed);
    std::vector<BYTE> bytes(size);
    for (BYTE& byte : bytes) {
        byte = static_cast<BYTE>(generator());
    }
    return bytes;
}

std::string EngineDigest(DigestKind kind, const std::vector<BYTE>& bytes) {
    IDigestor* digestor = CreateDigestor(kind);
    if (!bytes.empty()) {
        digestor->Update(bytes.data(), static_cast<uint32_t>(bytes.size()));
    }
    digestor->Finish();
    std::string text = digestor->DigestText();
    digestor->Release();
    return text;
}

std::string ResultLine(DigestKind kind, const std::vector<BYTE>& bytes, const std::string& path) {
    return EngineDigest(kind, bytes) + " <- " + DigestNames[kind] + " -> " + path;
}

bool OpensExclusively(const std::string& path) {
    HANDLE file =
        CreateFileA(path.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    CloseHandle(file);
    return true;
}

void RunFixture::SetUp() {
    MainWindowTest::SetUp();
    // The language module goes with the main window, which some tests close.
    m_progressCaption = "Digestor: " + ModuleString(m_language, IDS_PROGRESS_CAPTION);
}

void RunFixture::TearDown() {
    if (!m_session) {
        return;
    }
    if (m_fakeTaskbar) {
        m_session->OnWindowThread([] {
            SetFakeTaskbarCreationFails(true);
            ReplaceTaskbarObject(6, 1);
        });
    }
    if (m_window && IsWindow(m_window)) {
        SendMessageA(m_window, WM_CLOSE, 0, 0);
    }
    INT_PTR result = 0;
    EXPECT_TRUE(m_session->WaitForEnd(&result)) << "the main window did not close";
    for (const SeenMessageBox& box : m_session->Boxes().Seen()) {
        // A progress dialog met while it closes reads as a box without texts.
        bool progressDialog = box.caption == m_progressCaption || (box.caption.empty() && box.text.empty());
        EXPECT_TRUE(progressDialog || (!m_expectedBox.empty() && box.text == m_expectedBox))
            << "unexpected message box: " << box.caption << ": " << box.text;
    }
    m_session.reset();
}

void RunFixture::SetEntries(const std::vector<std::string>& entries) {
    FileList->ClearEntries();
    for (const std::string& entry : entries) {
        ASSERT_GE(FileList->AddEntry(entry.c_str()), 0) << entry;
    }
}

void RunFixture::SelectAlgorithm(int index) {
    SendMessageA(m_session->Control(IDC_ALGORITHM), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

bool RunFixture::WaitForIdle() {
    return WaitFor([] { return ProgressWindow == NULL && HashThread == NULL; });
}

bool RunFixture::UseFakeTaskbar(bool creationFails) {
    if (!TaskbarProgressAvailable(SystemMajorVersion, SystemMinorVersion)) {
        return false;
    }
    bool registered = false;
    m_session->OnWindowThread([&] {
        // Each window thread is an apartment of its own, with its own registration.
        CoInitializeEx(NULL, COINIT_APARTMENTTHREADED);
        registered = RegisterFakeTaskbarClass();
        ResetFakeTaskbar();
        SetFakeTaskbarCreationFails(creationFails);
    });
    if (!registered) {
        return false;
    }
    m_fakeTaskbar = true;
    SendMessageA(m_window, TaskbarButtonMessage, 0, 0);
    return FakeTaskbarsCreated() == (creationFails ? 0 : 1);
}
