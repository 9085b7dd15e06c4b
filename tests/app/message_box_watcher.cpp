#include "message_box_watcher.h"

#include <string.h>

MessageBoxWatcher::MessageBoxWatcher(DWORD threadId, int skipId)
    : m_threadId(threadId), m_skipId(skipId), m_stop(CreateEventA(NULL, TRUE, FALSE, NULL)) {
    m_thread = CreateThread(NULL, 0, Run, this, 0, NULL);
}

MessageBoxWatcher::~MessageBoxWatcher() {
    SetEvent(m_stop);
    WaitForSingleObject(m_thread, INFINITE);
    CloseHandle(m_thread);
    CloseHandle(m_stop);
}

std::vector<SeenMessageBox> MessageBoxWatcher::Seen() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_seen;
}

bool MessageBoxWatcher::WaitForCount(size_t count, DWORD timeoutMs) {
    for (DWORD waited = 0;; waited += 10) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_seen.size() >= count) {
                return true;
            }
        }
        if (waited >= timeoutMs) {
            return false;
        }
        Sleep(10);
    }
}

DWORD WINAPI MessageBoxWatcher::Run(void* self) {
    MessageBoxWatcher* watcher = static_cast<MessageBoxWatcher*>(self);
    while (WaitForSingleObject(watcher->m_stop, 10) == WAIT_TIMEOUT) {
        EnumThreadWindows(watcher->m_threadId, VisitWindow, reinterpret_cast<LPARAM>(watcher));
    }
    return 0;
}

BOOL CALLBACK MessageBoxWatcher::VisitWindow(HWND window, LPARAM self) {
    MessageBoxWatcher* watcher = reinterpret_cast<MessageBoxWatcher*>(self);
    char className[32] = "";
    GetClassNameA(window, className, sizeof className);
    // A box is visible once its dialog procedure has filled it.
    if (strcmp(className, "#32770") == 0 && IsWindowVisible(window) &&
        !GetDlgItem(window, watcher->m_skipId) && watcher->m_answered.count(window) == 0) {
        watcher->Answer(window);
    }
    return TRUE;
}

void MessageBoxWatcher::Answer(HWND box) {
    SeenMessageBox seen = {};
    char text[2048] = "";
    GetWindowTextA(box, text, sizeof text);
    seen.caption = text;
    seen.owner = GetWindow(box, GW_OWNER);
    seen.hasYes = GetDlgItem(box, IDYES) != NULL;

    // The message is the static that shows text; the icon static shows the icon.
    HICON errorIcon = LoadIconA(NULL, MAKEINTRESOURCEA(32513)); // IDI_HAND
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        GetClassNameA(child, text, sizeof text);
        if (_stricmp(text, "Static") != 0) {
            continue;
        }
        if ((GetWindowLongPtrA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
            seen.errorIcon = seen.errorIcon ||
                             reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0)) == errorIcon;
            continue;
        }
        GetWindowTextA(child, text, sizeof text);
        if (strlen(text) > seen.text.size()) {
            seen.text = text;
        }
    }

    m_answered.insert(box);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_seen.push_back(seen);
    }
    PostMessageA(box, WM_COMMAND, seen.hasYes ? IDYES : IDOK, 0);
}
