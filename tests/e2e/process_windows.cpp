#include "tests/e2e/process_windows.h"

#include <initializer_list>

namespace {

struct WindowSearch {
    DWORD processId;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM param) {
    WindowSearch* search = reinterpret_cast<WindowSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId)
        search->found.push_back(window);
    return TRUE;
}

std::string ToAnsi(const std::wstring& text) {
    if (text.empty())
        return std::string();
    int size = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                   nullptr);
    std::string result(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &result[0], size, nullptr,
                        nullptr);
    return result;
}

// Sends a length query, then the text query into a buffer one larger; both must answer.
std::string ReadText(HWND window, UINT lengthMessage, UINT textMessage, WPARAM index, bool* ok) {
    if (ok)
        *ok = false;
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, lengthMessage, index, 0, SMTO_ABORTIFHUNG, kMessageTimeoutMs, &length))
        return std::string();
    if (static_cast<LONG_PTR>(length) < 0) // LB_ERR / CB_ERR: no such item
        return std::string();
    std::wstring buffer(length + 1, L'\0');
    DWORD_PTR copied = 0;
    // WM_GETTEXT takes the capacity in wParam; the item messages take the index.
    WPARAM first = textMessage == WM_GETTEXT ? static_cast<WPARAM>(buffer.size()) : index;
    if (!SendMessageTimeoutW(window, textMessage, first, reinterpret_cast<LPARAM>(&buffer[0]),
                             SMTO_ABORTIFHUNG, kMessageTimeoutMs, &copied))
        return std::string();
    if (static_cast<LONG_PTR>(copied) < 0)
        return std::string();
    buffer.resize(wcslen(buffer.c_str()));
    if (ok)
        *ok = true;
    return ToAnsi(buffer);
}

} // namespace

// GetWindowTextW on another process's window reads the stored caption without sending a message,
// so it answers even while that window is busy.
std::string CaptionOf(HWND window) {
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    return ToAnsi(text);
}

std::vector<HWND> TopLevelWindows(DWORD processId) {
    WindowSearch search = {processId, {}};
    EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::vector<HWND> VisibleTopLevelWindows(DWORD processId) {
    std::vector<HWND> visible;
    for (HWND window : TopLevelWindows(processId))
        if (IsWindowVisible(window))
            visible.push_back(window);
    return visible;
}

std::vector<HWND> ChildWindows(HWND parent) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

std::string ClassNameOf(HWND window) {
    char name[256] = {};
    GetClassNameA(window, name, sizeof(name));
    return name;
}

std::string WindowText(HWND window, bool* ok) {
    return ReadText(window, WM_GETTEXTLENGTH, WM_GETTEXT, 0, ok);
}

std::string ComboItemText(HWND combo, int index, bool* ok) {
    return ReadText(combo, CB_GETLBTEXTLEN, CB_GETLBTEXT, static_cast<WPARAM>(index), ok);
}

std::string ListItemText(HWND list, int index, bool* ok) {
    return ReadText(list, LB_GETTEXTLEN, LB_GETTEXT, static_cast<WPARAM>(index), ok);
}

LRESULT SendPlainMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT fallback) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kMessageTimeoutMs, &result))
        return fallback;
    return static_cast<LRESULT>(result);
}

bool SyncWithWindow(HWND window) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kMessageTimeoutMs, &result) != 0;
}

bool IsMessageBox(HWND window) {
    if (ClassNameOf(window) != "#32770")
        return false;
    HWND text = GetDlgItem(window, 0xFFFF);
    if (!text || ClassNameOf(text) != "Static")
        return false;
    for (int id : {IDOK, IDCANCEL, IDYES, IDNO}) {
        HWND button = GetDlgItem(window, id);
        if (button && ClassNameOf(button) == "Button")
            return true;
    }
    return false;
}

HWND FindMainWindow(DWORD processId) {
    for (HWND window : VisibleTopLevelWindows(processId)) {
        if (CaptionOf(window) == kMainCaption && !IsMessageBox(window))
            return window;
    }
    return nullptr;
}
