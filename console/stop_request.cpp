#include "console/stop_request.h"

#include <windows.h>

#include "base/hash_stop.h"

namespace {

const DWORD CancelInterval = 50; // milliseconds between cancels of a blocked call

volatile LONG Stop = 0;
volatile LONG Seen = 0;
HANDLE MainThread = NULL;
DWORD MainThreadId = 0;

BOOL WINAPI OnControl(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) {
        return FALSE; // closing the console or logging off ends the program as usual
    }
    InterlockedExchange(&Stop, 1);
    RequestHashStop(); // the digest workers' own: their run cancels their I/O
    while (InterlockedCompareExchange(&Seen, 0, 0) == 0) {
        CancelSynchronousIo(MainThread);
        Sleep(CancelInterval);
    }
    return TRUE;
}

} // namespace

void CatchStop() {
    DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &MainThread, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
    MainThreadId = GetCurrentThreadId();
    SetConsoleCtrlHandler(OnControl, TRUE);
}

bool StopRequested() {
    if (InterlockedCompareExchange(&Stop, 0, 0) == 0) {
        return false;
    }
    if (GetCurrentThreadId() == MainThreadId) {
        InterlockedExchange(&Seen, 1);
    }
    return true;
}
