// Taskbar button progress: one process-wide ITaskbarList3 object, created on the
// window thread when the shell announces the button, used by every thread.
#pragma once

#include <windows.h>

#include <shobjidl.h>

// Process-wide values fixed at process start, before the main window exists.
extern const UINT TaskbarButtonMessage; // RegisterWindowMessageA("TaskbarButtonCreated")
extern const BYTE SystemMajorVersion;   // low byte of GetVersion()
extern const BYTE SystemMinorVersion;   // second byte of GetVersion()

// Window thread: on every TaskbarButtonCreated message (Windows 6.1 and later)
// releases the old object and creates and initialises a new one.
void OnTaskbarButtonCreated();

// Any thread: sets the state or value of MainWindow's button; nothing when no
// object exists. A replacement never releases an object that a call is using.
void SetTaskbarState(TBPFLAG state);
void SetTaskbarValue(ULONGLONG completed, ULONGLONG total);

// Puts in the caller's object (a reference of its own is taken) in place of the
// shell's, releasing the old one; null leaves none. Tests record the calls of a
// run through it where the platform has no taskbar.
void UseTaskbarObject(ITaskbarList3* object);
