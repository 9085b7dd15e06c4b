// Helpers of the companion library's tests: bounded waits and window geometry.
#pragma once

#include <windows.h>

#include <string>

// Polls condition every 10 ms until it holds or timeoutMs have passed; true when it held. The
// caller's thread must not own windows that the condition waits for (nothing is pumped here).
template <class Condition> bool WaitFor(Condition condition, DWORD timeoutMs = 20000) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    for (;;) {
        if (condition())
            return true;
        if (GetTickCount64() >= end)
            return false;
        Sleep(10);
    }
}

// A control's rectangle in its parent's client coordinates.
inline RECT RectInParent(HWND control) {
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(NULL, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

inline RECT WindowRectOf(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    return r;
}

inline std::string TextOf(HWND window) {
    char text[1024] = "";
    GetWindowTextA(window, text, sizeof(text));
    return text;
}

inline std::string ClassOf(HWND window) {
    char name[64] = "";
    GetClassNameA(window, name, sizeof(name));
    return name;
}

// Folder of the running test program, with a trailing backslash: bin\ of the build tree.
inline std::string ProgramFolder() {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(NULL, path, MAX_PATH);
    std::string folder = path;
    return folder.substr(0, folder.find_last_of("\\/") + 1);
}
