// Taskbar button progress through the shell's ITaskbarList3.
#include "window/taskbar.h"

#include "window/app_state.h"

const UINT TaskbarButtonMessage = RegisterWindowMessageA("TaskbarButtonCreated");
const BYTE SystemMajorVersion = LOBYTE(LOWORD(GetVersion()));
const BYTE SystemMinorVersion = HIBYTE(LOWORD(GetVersion()));

namespace {

// Guards the pointer and every call through it. A critical section rather than a
// slim lock because the window thread may enter twice: while a call waits on the
// shell's process, it handles sent messages, and their handlers clear the state.
// It is never deleted, as workers may still use the object while the process ends.
class TaskbarLock {
public:
    TaskbarLock() { InitializeCriticalSection(&section); }
    void Enter() { EnterCriticalSection(&section); }
    void Leave() { LeaveCriticalSection(&section); }

private:
    CRITICAL_SECTION section;
};

TaskbarLock Lock;
ITaskbarList3* Taskbar = NULL; // owned by the window thread; null while none exists

// Swaps the pointer under the lock. Once it returns, no thread is inside a call on
// the old object and none can reach it any more, so it may be released unlocked.
ITaskbarList3* ExchangeTaskbar(ITaskbarList3* replacement) {
    Lock.Enter();
    ITaskbarList3* old = Taskbar;
    Taskbar = replacement;
    Lock.Leave();
    return old;
}

} // namespace

void OnTaskbarButtonCreated() {
    // Taskbar progress came with Windows 6.1.
    if (SystemMajorVersion < 6 || (SystemMajorVersion == 6 && SystemMinorVersion == 0)) {
        return;
    }
    ITaskbarList3* old = ExchangeTaskbar(NULL);
    if (old != NULL) {
        old->Release();
    }
    // Created and initialised before it is published, so the workers never meet
    // an object without HrInit; the lock is not held across these calls.
    ITaskbarList3* created = NULL;
    if (FAILED(CoCreateInstance(CLSID_TaskbarList, NULL, CLSCTX_INPROC_SERVER, IID_ITaskbarList3,
                                reinterpret_cast<void**>(&created)))) {
        created = NULL;
    }
    if (created != NULL) {
        created->HrInit(); // the object serves whatever this returns
    }
    ExchangeTaskbar(created);
}

void SetTaskbarState(TBPFLAG state) {
    Lock.Enter();
    if (Taskbar != NULL) {
        Taskbar->SetProgressState(MainWindow, state);
    }
    Lock.Leave();
}

void SetTaskbarValue(ULONGLONG completed, ULONGLONG total) {
    Lock.Enter();
    if (Taskbar != NULL) {
        Taskbar->SetProgressValue(MainWindow, completed, total);
    }
    Lock.Leave();
}

void UseTaskbarObject(ITaskbarList3* object) {
    if (object != NULL) {
        object->AddRef();
    }
    ITaskbarList3* old = ExchangeTaskbar(object);
    if (old != NULL) {
        old->Release();
    }
}
