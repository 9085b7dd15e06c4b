#include "console/stop_request.h"

#include <windows.h>

namespace {

const DWORD CancelInterval = 50; // milliseconds between cancels of a blocked read
const int MostWatched = 16;

struct Watched {
    DWORD id; // 0: a free slot
    HANDLE thread;
    bool seen; // the thread has looked at the stop request
};

volatile LONG Stop = 0;
CRITICAL_SECTION Lock;
Watched Threads[MostWatched] = {};

// Cancels the I/O of every watched thread that has not seen the stop; false
// once none is left.
bool CancelUnseen() {
    bool left = false;
    EnterCriticalSection(&Lock);
    for (Watched& watched : Threads) {
        if (watched.id != 0 && !watched.seen) {
            CancelSynchronousIo(watched.thread);
            left = true;
        }
    }
    LeaveCriticalSection(&Lock);
    return left;
}

BOOL WINAPI OnControl(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) {
        return FALSE; // closing the console or logging off ends the program as usual
    }
    InterlockedExchange(&Stop, 1);
    while (CancelUnseen()) {
        Sleep(CancelInterval);
    }
    return TRUE;
}

} // namespace

void CatchStop() {
    InitializeCriticalSection(&Lock);
    WatchThisThread();
    SetConsoleCtrlHandler(OnControl, TRUE);
}

void WatchThisThread() {
    HANDLE thread = NULL;
    DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &thread, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
    EnterCriticalSection(&Lock);
    for (Watched& watched : Threads) {
        if (watched.id == 0) {
            watched = {GetCurrentThreadId(), thread, false};
            thread = NULL;
            break;
        }
    }
    LeaveCriticalSection(&Lock);
    if (thread) {
        CloseHandle(thread); // no free slot
    }
}

void ForgetThisThread() {
    EnterCriticalSection(&Lock);
    for (Watched& watched : Threads) {
        if (watched.id == GetCurrentThreadId()) {
            CloseHandle(watched.thread);
            watched = {0, NULL, false};
        }
    }
    LeaveCriticalSection(&Lock);
}

bool StopRequested() {
    if (InterlockedCompareExchange(&Stop, 0, 0) == 0) {
        return false;
    }
    EnterCriticalSection(&Lock);
    for (Watched& watched : Threads) {
        if (watched.id == GetCurrentThreadId()) {
            watched.seen = true;
        }
    }
    LeaveCriticalSection(&Lock);
    return true;
}
