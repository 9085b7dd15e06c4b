// The stop request of a run and the tests' block hook, shared by the job and
// its digest workers.
#pragma once

#include <windows.h>

// Window thread: clears the stop request before a run is started.
void ClearHashStop();
// Window thread: asks the running job and its workers to stop, and wakes the
// ones that wait for work. The job honours it before each block and between
// entries, never inside an entry's replacement, and on its way out closes its
// files and releases its digestors without a further report.
void RequestHashStop();
bool HashStopRequested();

// Wakes whoever waits for work or results, so that a stop is seen at once;
// the workers put theirs in while they run, null takes it out again.
typedef void (*StopWaker)();
void SetStopWaker(StopWaker waker);

// Called before each 1024-byte block on the thread digesting the entry, with
// the entry index and the bytes of that file digested so far; null (the
// default) calls nothing. Tests use it to act at a known point of a run.
typedef void (*HashBlockHook)(LRESULT entry, ULONGLONG done);
void SetHashBlockHook(HashBlockHook hook);
HashBlockHook CurrentHashBlockHook();
