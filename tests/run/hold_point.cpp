#include "tests/run/hold_point.h"

#include "base/app_state.h"
#include "run/hash_job.h"
#include "tests/app/main_window_session.h"

HoldPoint Hold;

void HoldPoint::Reset() {
    entry = -1;
    after = 0;
    message = 0;
    wParam = 0;
    toMainWindow = false;
    reached = false;
    released = false;
    ignoresStop = false;
    thread = 0;
    otherThread = false;
}

void HoldHook(LRESULT entry, ULONGLONG done) {
    DWORD self = GetCurrentThreadId();
    DWORD first = 0;
    if (!Hold.thread.compare_exchange_strong(first, self) && first != self) {
        Hold.otherThread = true;
    }
    if (Hold.reached.load() || entry != Hold.entry.load() || done < Hold.after.load()) {
        return;
    }
    if (Hold.message.load() != 0) {
        PostMessageA(Hold.toMainWindow.load() ? MainWindow : ProgressWindow, Hold.message.load(),
                     Hold.wParam.load(), 0);
    }
    Hold.reached = true;
    WaitFor([] { return (HashStopRequested() && !Hold.ignoresStop.load()) || Hold.released.load(); });
}
