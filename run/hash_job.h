// The hash job: the body of the worker thread that digests every entry of the
// file list and replaces it in place by its result line.
#pragma once

#include <windows.h>

// Thread entry point; takes no argument. Every list change and report is a
// synchronous message carried out by the window thread, so the job proceeds
// only while that thread handles messages. Ends with exit code 0.
DWORD WINAPI HashWorkerThread(LPVOID);

// Window thread: clears the stop request before a worker is started.
void ClearHashStop();
// Window thread: asks the running job to stop. The job honours it before
// each block and between entries, never inside an entry's replacement, and
// on its way out closes its file and releases its digestor without a further
// report.
void RequestHashStop();
bool HashStopRequested();

// Called by the job on its own thread before each 1024-byte block, with the
// entry index and the bytes of that file digested so far; null (the default)
// calls nothing. Tests use it to act at a known point of a run.
typedef void (*HashBlockHook)(LRESULT entry, ULONGLONG done);
void SetHashBlockHook(HashBlockHook hook);
