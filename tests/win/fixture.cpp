#include "tests/win/fixture.h"

#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <random>

#include "app/main_dialog.h"
#include "base/program_identity.h"
#include "companion/varnolib.h"
#include "res/resource.h"
#include "window/app_state.h"
#include "window/gui_listbox.h"
#include "window/private_messages.h"

const char* const DigestNames[13] = {"MD2",    "MD4",    "MD5",         "CRC32",    "SHA1",
                                     "SHA256", "SHA512", "CRC32 (zip)", "SHA3-256", "SHA3-512",
                                     "BLAKE3", "XXH3",   "XXH128"};
const DigestKind BoxOrder[12] = {DigestMD2,      DigestMD4,    DigestMD5,    DigestCRC32,
                                 DigestSHA1,     DigestSHA256, DigestSHA512, DigestSHA3_256,
                                 DigestSHA3_512, DigestBLAKE3, DigestXXH3,   DigestXXH128};

static WinTest* Running = NULL; // the test whose window thread runs

static LRESULT CALLBACK RunWork(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_APP)
        (*reinterpret_cast<const std::function<void()>*>(lParam))();
    return message == WM_APP ? 0 : DefWindowProcA(window, message, wParam, lParam);
}

bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs) {
    ULONGLONG end = GetTickCount64() + timeoutMs;
    while (!condition() && GetTickCount64() < end)
        Sleep(10);
    return condition();
}

std::string DigestOf(DigestKind kind, const std::string& bytes) {
    DigestorHolder digestor(kind);
    digestor->Update(reinterpret_cast<const uint8_t*>(bytes.data()), static_cast<uint32_t>(bytes.size()));
    digestor->Finish();
    return digestor->DigestText();
}

// The long form of an absolute UTF-8 path, so that fixtures reach any name and length.
static std::wstring Long(const std::string& path) {
    std::wstring wide(path.size() + 1, L'\0');
    wide.resize(MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, &wide[0], static_cast<int>(wide.size())) -
                1);
    return path.find(":\\") == 1 ? L"\\\\?\\" + wide : wide;
}

std::string ReadBytes(const std::string& path) {
    HANDLE file = CreateFileW(Long(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                              OPEN_EXISTING, 0, NULL);
    std::string bytes;
    char chunk[65536];
    DWORD length = 0;
    while (ReadFile(file, chunk, sizeof chunk, &length, NULL) && length)
        bytes.append(chunk, length);
    CloseHandle(file);
    return bytes;
}

std::string ResultLine(DigestKind kind, const std::string& path) {
    return DigestOf(kind, ReadBytes(path)) + " <- " + DigestNames[kind] + " -> " + path;
}

std::string WindowText(HWND window) {
    char text[2048] = "";
    return std::string(text, GetWindowTextA(window, text, sizeof text));
}

void WinTest::SetUp() {
    static const bool started = [] {
        SetDllDirectoryA("");
        InitCommonControls();
        return InitLibrary(VarnoInterfaceMajor, VarnoInterfaceMinor, VarnoInterfaceRevision,
                           VarnoInterfaceReserved) != 0 &&
               StartLibrary(VarnoStartNormal) != 0;
    }();
    ASSERT_TRUE(started) << "the companion library refused to start";
    TakeProgramIdentity(GetModuleHandleA(NULL));
    char language[PathBufferSize];
    BuildLanguagePath(language, AppDirectory, GetSystemDefaultLangID());
    m_language = LoadLibraryA(language);
    LanguageModule = LoadLibraryA(language); // released by the main window
    ASSERT_NE(m_language, nullptr) << language;
    m_answer = GetEnvironmentVariableA("DIGESTOR_ANSWER_NO", NULL, 0) ? IDNO : IDYES;
    char temp[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, temp);
    m_root = temp + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount64());
    ASSERT_TRUE(CreateDirectoryA(m_root.c_str(), NULL)) << m_root;
    MainWindow = NULL;
    Running = this;
    m_thread = CreateThread(NULL, 0, WindowThread, this, 0, NULL);
    ASSERT_TRUE(WaitFor([] { return MainWindow && IsWindowVisible(MainWindow); })) << "no main window";
    m_window = MainWindow;
}

void WinTest::TearDown() {
    PostMessageA(MainWindow, WM_CLOSE, 0, 0);
    if (m_thread && WaitForSingleObject(m_thread, 20000) != WAIT_OBJECT_0) {
        ADD_FAILURE() << "the main window did not close";
        TerminateThread(m_thread, 1);
    }
    CloseHandle(m_thread);
    for (const SeenBox& box : m_boxes)
        EXPECT_TRUE(m_allowedBoxes.count(box.text)) << "unexpected message box: " << box.text;
    FreeLibrary(m_language);
    std::string from = m_root + std::string(1, '\0'); // a list of one, ended by two zeros
    SHFILEOPSTRUCTA remove = {NULL, FO_DELETE, from.c_str(), NULL, FOF_NO_UI, FALSE, NULL, NULL};
    SHFileOperationA(&remove);
}

// The helper window exists before the main window shows, which SetUp waits for.
DWORD WINAPI WinTest::WindowThread(void*) {
    WinTest* test = Running;
    CoInitializeEx(NULL, COINIT_APARTMENTTHREADED); // as the start-up does, for the taskbar object
    test->m_helper = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, NULL, NULL, NULL);
    SetWindowLongPtrA(test->m_helper, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RunWork));
    HHOOK watcher = SetWindowsHookExA(WH_CBT, Watch, NULL, GetCurrentThreadId());
    DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(IDD_MAIN), NULL, MainDialogProc, 0);
    UnhookWindowsHookEx(watcher);
    DestroyWindow(test->m_helper);
    return 0;
}

// Every window of the window thread that becomes active passes here. A message box has the text
// static 0xFFFF; the program's dialogs have IDC_FRAME, the file dialogs a combo box.
static BOOL CALLBACK FindComboBox(HWND child, LPARAM found) {
    char name[16] = "";
    GetClassNameA(child, name, sizeof name);
    *reinterpret_cast<bool*>(found) |= lstrcmpiA(name, "ComboBox") == 0;
    return TRUE;
}

LRESULT CALLBACK WinTest::Watch(int code, WPARAM wParam, LPARAM lParam) {
    HWND box = reinterpret_cast<HWND>(wParam), text = GetDlgItem(box, 0xFFFF);
    // Under Wine the hook also hears of windows of other processes on the same desktop that become
    // active, such as the message box of a test running beside this one: only this process's count.
    DWORD process = 0;
    GetWindowThreadProcessId(box, &process);
    if (code == HCBT_ACTIVATE && process != GetCurrentProcessId())
        return CallNextHookEx(NULL, code, wParam, lParam);
    // The file dialogs keep their combo boxes in a child dialog: every descendant is looked at.
    bool combo = false;
    if (code == HCBT_ACTIVATE)
        EnumChildWindows(box, FindComboBox, reinterpret_cast<LPARAM>(&combo));
    if (code != HCBT_ACTIVATE || !text || GetDlgItem(box, IDC_FRAME) || combo)
        return CallNextHookEx(NULL, code, wParam, lParam);
    char caption[256] = "", message[2048] = "";
    GetWindowTextA(box, caption, sizeof caption);
    GetWindowTextA(text, message, sizeof message);
    HWND owner = GetWindow(box, GW_OWNER);
    SeenBox seen = {caption, message, owner, GetDlgItem(box, IDYES) ? static_cast<UINT>(MB_YESNO) : 0u,
                    owner && IsWindowVisible(owner)};
    // IDI_HAND, IDI_QUESTION, IDI_EXCLAMATION, IDI_ASTERISK (32513-32516) are shown for 0x10-0x40.
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        HICON shown = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
        for (UINT i = 0; shown && i < 4; ++i)
            seen.flags |= shown == LoadIconA(NULL, MAKEINTRESOURCEA(32513 + i)) ? 0x10 * (i + 1) : 0;
    }
    std::lock_guard<std::mutex> lock(Running->m_mutex);
    Running->m_boxes.push_back(seen);
    PostMessageA(box, WM_COMMAND, (seen.flags & MB_YESNO) ? Running->m_answer : IDOK, 0);
    return CallNextHookEx(NULL, code, wParam, lParam);
}

void WinTest::OnWindowThread(const std::function<void()>& work) {
    SendMessageA(m_helper, WM_APP, 0, reinterpret_cast<LPARAM>(&work));
}

std::string WinTest::Text(UINT id, const std::string& first, const std::string& second) const {
    char format[1024] = "", text[2048];
    LoadStringA(m_language, id, format, sizeof format);
    wsprintfA(text, format, first.c_str(), second.c_str());
    return text;
}

std::string WinTest::Tally(int checked, int ok, int failed, int missing, int notChecked) const {
    char format[1024] = "", text[2048];
    LoadStringA(m_language, IDS_CHECK_TALLY, format, sizeof format);
    wsprintfA(text, format, checked, ok, failed, missing, notChecked);
    return text;
}

std::string WinTest::CompareTally(const std::string& original, const std::string& copy,
                                  std::vector<int> n) const {
    char format[1024] = "", text[4096];
    LoadStringA(m_language, IDS_COMPARE_TALLY, format, sizeof format);
    n.resize(7);
    snprintf(text, sizeof text, format, original.c_str(), copy.c_str(), n[0], n[1], n[2], n[3], n[4], n[5],
             n[6]);
    return text;
}

void WinTest::ExpectTexts(HWND dialog, UINT caption, std::initializer_list<std::pair<int, UINT>> controls) {
    EXPECT_TRUE(!caption || WindowText(dialog) == "Digestor: " + Text(caption)) << WindowText(dialog);
    for (const auto& [control, id] : controls)
        EXPECT_EQ(WindowText(GetDlgItem(dialog, control)), Text(id)) << control;
}

std::vector<std::string> WinTest::Entries() {
    std::vector<std::string> entries;
    char entry[PathBufferSize];
    OnWindowThread([&] {
        for (int i = 0; FileList->GetEntry(i, entry); ++i)
            entries.push_back(entry);
    });
    return entries;
}

void WinTest::SetEntries(const std::vector<std::string>& entries) {
    OnWindowThread([&entries] {
        FileList->ClearEntries();
        for (const std::string& entry : entries)
            FileList->AddEntry(entry.c_str());
    });
}

// DROPFILES, then the ANSI paths, each with its zero, and one more zero.
void WinTest::Drop(const std::vector<std::string>& paths) {
    std::string list;
    for (const std::string& path : paths)
        list += path + std::string(1, '\0');
    HGLOBAL memory = GlobalAlloc(GPTR, sizeof(DROPFILES) + list.size() + 1);
    static_cast<DROPFILES*>(memory)->pFiles = sizeof(DROPFILES);
    memcpy(static_cast<DROPFILES*>(memory) + 1, list.data(), list.size());
    SendMessageA(m_window, WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
}

HANDLE WinTest::Start() {
    HANDLE worker = NULL;
    OnWindowThread([this, &worker] {
        SendMessageA(m_window, WM_COMMAND, MAKEWPARAM(IDC_START, BN_CLICKED),
                     reinterpret_cast<LPARAM>(Item(IDC_START)));
        DuplicateHandle(GetCurrentProcess(), HashThread, GetCurrentProcess(), &worker, SYNCHRONIZE, FALSE, 0);
    });
    return worker;
}

bool WinTest::WaitIdle() {
    return WaitFor([this] {
        bool idle = false;
        OnWindowThread([&idle, this] {
            MSG taking; // the command line is taken once the window shows
            idle =
                !ExpandThread && !ProgressWindow && !HashThread && IsWindowEnabled(m_window) &&
                !PeekMessageA(&taking, m_window, MSG_TAKE_COMMAND_LINE, MSG_TAKE_COMMAND_LINE, PM_NOREMOVE);
        });
        return idle;
    });
}

// size pseudo-random bytes, the same for the same size; folders are made as needed.
std::string WinTest::File(const std::string& relative, size_t size) {
    for (size_t at = relative.find('\\'); at != std::string::npos; at = relative.find('\\', at + 1))
        CreateDirectoryW(Long(Path(relative.substr(0, at))).c_str(), NULL);
    std::mt19937 random(static_cast<unsigned>(size));
    std::string bytes(size, '\0');
    for (char& byte : bytes)
        byte = static_cast<char>(random());
    HANDLE file = CreateFileW(Long(Path(relative)).c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    DWORD written = 0;
    EXPECT_TRUE(WriteFile(file, bytes.data(), static_cast<DWORD>(size), &written, NULL)) << relative;
    CloseHandle(file);
    return Path(relative);
}
