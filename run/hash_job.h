// The hash job: the body of the worker thread that digests every entry of the
// file list and replaces it in place by its result line.
#pragma once

#include <windows.h>

// Thread entry point; takes no argument. Every list change and report is a
// synchronous message carried out by the window thread, so the job proceeds
// only while that thread handles messages. Ends with exit code 0.
DWORD WINAPI HashWorkerThread(LPVOID);
