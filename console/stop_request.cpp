#include "console/stop_request.h"

#include <windows.h>

namespace {

const DWORD CancelInterval = 50; // milliseconds between cancels of a blocked read

volatile LONG Stop = 0;
HANDLE WorkThread = NULL;
HANDLE StopSeen = NULL; // set once the work thread has seen the stop

BOOL WINAPI OnControl(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) {
        return FALSE; // closing the console or logging off ends the program as usual
    }
    InterlockedExchange(&Stop, 1);
    while (WaitForSingleObject(StopSeen, CancelInterval) == WAIT_TIMEOUT) {
        CancelSynchronousIo(WorkThread);
    }
    return TRUE;
}

} // namespace

void CatchStop() {
    DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &WorkThread, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
    StopSeen = CreateEventA(NULL, TRUE, FALSE, NULL);
    SetConsoleCtrlHandler(OnControl, TRUE);
}

bool StopRequested() {
    if (InterlockedCompareExchange(&Stop, 0, 0) == 0) {
        return false;
    }
    SetEvent(StopSeen);
    return true;
}
