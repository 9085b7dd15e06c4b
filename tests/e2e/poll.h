// Waiting for a state of another process: a bounded poll, never a bare sleep.
#pragma once

#include <windows.h>

// Calls condition every intervalMs until it returns true (then true) or timeoutMs have passed
// (then false, after one last try).
template <typename Condition> bool PollUntil(Condition condition, DWORD timeoutMs, DWORD intervalMs = 15) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        if (condition())
            return true;
        if (GetTickCount64() >= deadline)
            return condition();
        Sleep(intervalMs);
    }
}
