// Taskbar button progress (placeholder until the taskbar object is built).
#include "run/taskbar.h"

const UINT TaskbarButtonMessage = RegisterWindowMessageA("TaskbarButtonCreated");
const BYTE SystemMajorVersion = LOBYTE(LOWORD(GetVersion()));
const BYTE SystemMinorVersion = HIBYTE(LOWORD(GetVersion()));

void OnTaskbarButtonCreated() {}

void SetTaskbarState(TBPFLAG) {}

void SetTaskbarValue(ULONGLONG, ULONGLONG) {}
