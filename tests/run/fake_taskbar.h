// A stand-in for the shell's taskbar list object, registered in this process for
// CLSID_TaskbarList, that records every call made on it.
#pragma once

#include <windows.h>

#include <shobjidl.h>

#include <vector>

enum class TaskbarCall { HrInit, SetProgressState, SetProgressValue };

struct TaskbarCallRecord {
    int object; // creation number of the object called, from 1
    TaskbarCall call;
    HWND window;
    ULONGLONG first;  // state, or completed
    ULONGLONG second; // total
};

// Registers the class for this thread's apartment; COM must be initialised.
bool RegisterFakeTaskbarClass();

// Forgets every object and call; objects made earlier stay allocated, so a late
// call through a stale pointer is still counted rather than a crash.
void ResetFakeTaskbar();

// While set, the class factory refuses to create objects.
void SetFakeTaskbarCreationFails(bool fails);

int FakeTaskbarsCreated();
LONG FakeTaskbarReferences(int object); // the object's current count
// Calls that reached an object after its count fell to zero, or that were still
// running when it did.
long FakeTaskbarCallsOnReleased();
std::vector<TaskbarCallRecord> FakeTaskbarCalls();
