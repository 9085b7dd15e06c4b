#include "sent_message_hook.h"

namespace {

// Only the window thread reads it, and only while the hook is in place.
const SentMessageHook::Watcher* ActiveWatcher = NULL;

LRESULT CALLBACK CallWindowHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && ActiveWatcher) {
        const CWPSTRUCT* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
        (*ActiveWatcher)(sent->hwnd, sent->message, sent->wParam, sent->lParam);
    }
    return CallNextHookEx(NULL, code, wParam, lParam);
}

} // namespace

SentMessageHook::SentMessageHook(MainWindowSession& session, Watcher watcher)
    : m_session(session), m_watcher(std::move(watcher)), m_hook(NULL) {
    m_session.OnWindowThread([this] {
        ActiveWatcher = &m_watcher;
        m_hook = SetWindowsHookExA(WH_CALLWNDPROC, CallWindowHook, NULL, GetCurrentThreadId());
        if (!m_hook) {
            ActiveWatcher = NULL;
        }
    });
}

SentMessageHook::~SentMessageHook() {
    m_session.OnWindowThread([this] {
        if (m_hook) {
            UnhookWindowsHookEx(m_hook);
        }
        ActiveWatcher = NULL;
    });
    ActiveWatcher = NULL;
}
