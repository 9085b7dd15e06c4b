#include "main_window_session.h"

#include <commctrl.h>

#include <string.h>

#include "base/app_state.h"
#include "app/main_dialog.h"
#include "companion/varnolib.h"
#include "res/resource.h"

namespace {

const char* const HelperClass = "AppTestsWindowThreadHelper";
const UINT RunWork = WM_APP + 1;

struct MainWindowSearch {
    HWND found;
};

BOOL CALLBACK VisitThreadWindow(HWND window, LPARAM lParam) {
    char className[32] = "";
    GetClassNameA(window, className, sizeof className);
    if (strcmp(className, "#32770") == 0 && GetDlgItem(window, IDC_FILE_LIST) && IsWindowVisible(window)) {
        reinterpret_cast<MainWindowSearch*>(lParam)->found = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

HWND FindMainWindow(DWORD threadId) {
    MainWindowSearch find = {NULL};
    EnumThreadWindows(threadId, VisitThreadWindow, reinterpret_cast<LPARAM>(&find));
    return find.found;
}

std::string ProgramFolder() {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(NULL, path, sizeof path);
    char* separator = strrchr(path, '\\');
    if (separator) {
        *separator = '\0';
    }
    return path;
}

std::string LanguagePath(const char* fileName) { return ProgramFolder() + "\\lang\\" + fileName; }

bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs) {
    for (DWORD waited = 0;; waited += 10) {
        if (condition()) {
            return true;
        }
        if (waited >= timeoutMs) {
            return false;
        }
        Sleep(10);
    }
}

bool PrepareProcessState() {
    static bool libraryStarted = [] {
        InitCommonControls();
        return InitLibrary(3, 2, 4, 0) != 0 && StartLibrary(1) != 0;
    }();
    AppInstance = GetModuleHandleA(NULL);
    wsprintfA(AppTitle, "%s", "Digestor v3.3.0.286");
    wsprintfA(AppCaption, "%s", "Digestor");
    lstrcpynA(AppDirectory, ProgramFolder().c_str(), PathBufferSize);
    MainWindow = NULL;
    MainMenu = NULL;
    return libraryStarted;
}

MainWindowSession::MainWindowSession(HMODULE language)
    : m_helperReady(CreateEventA(NULL, TRUE, FALSE, NULL)), m_thread(NULL), m_threadId(0), m_helper(NULL),
      m_window(NULL), m_result(0), m_ended(false), m_gaveUp(false) {
    LanguageModule = language;
    m_thread = CreateThread(NULL, 0, WindowThread, this, 0, &m_threadId);
    WaitForSingleObject(m_helperReady, INFINITE);
    m_watcher.reset(new MessageBoxWatcher(m_threadId, IDC_FILE_LIST));
}

MainWindowSession::~MainWindowSession() {
    if (!m_ended) {
        if (m_window) {
            PostMessageA(m_window, WM_CLOSE, 0, 0);
        }
        INT_PTR ignored;
        if (!WaitForEnd(&ignored)) {
            // Only a broken dialog gets here; the test has failed already.
            TerminateThread(m_thread, 1);
        }
    }
    m_watcher.reset();
    CloseHandle(m_thread);
    CloseHandle(m_helperReady);
}

DWORD WINAPI MainWindowSession::WindowThread(void* self) {
    MainWindowSession* session = static_cast<MainWindowSession*>(self);
    static ATOM helperClass = [] {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = HelperProc;
        windowClass.hInstance = GetModuleHandleA(NULL);
        windowClass.lpszClassName = HelperClass;
        return RegisterClassA(&windowClass);
    }();
    (void)helperClass;
    session->m_helper =
        CreateWindowExA(0, HelperClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, NULL, GetModuleHandleA(NULL), NULL);
    SetEvent(session->m_helperReady);
    session->m_result = DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(IDD_MAIN), NULL, MainDialogProc, 0);
    DestroyWindow(session->m_helper);
    return 0;
}

LRESULT CALLBACK MainWindowSession::HelperProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == RunWork) {
        (*reinterpret_cast<const std::function<void()>*>(lParam))();
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND MainWindowSession::WaitForWindow() {
    WaitFor([&] {
        m_window = FindMainWindow(m_threadId);
        return m_window != NULL || WaitForSingleObject(m_thread, 0) == WAIT_OBJECT_0;
    });
    return m_window;
}

void MainWindowSession::OnWindowThread(const std::function<void()>& work) {
    SendMessageA(m_helper, RunWork, 0, reinterpret_cast<LPARAM>(&work));
}

bool MainWindowSession::WaitForEnd(INT_PTR* result) {
    // One time limit per session: a dialog that did not end then will not end later.
    if (!m_ended && !m_gaveUp) {
        m_ended = WaitForSingleObject(m_thread, 20000) == WAIT_OBJECT_0;
        m_gaveUp = !m_ended;
    }
    *result = m_result;
    return m_ended;
}
