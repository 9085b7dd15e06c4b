// The Digests page's worker: one thread per context that finds the folders of the selection, looks
// each file up in the recorded lists above it and digests it with every algorithm of its set from
// one read, telling the page by message. It keeps the DLL loaded while it runs.
#pragma once

#include <windows.h>

#include "shell/page_context.h"

// Starts the worker on context (which it holds a count on until it ends); its thread handle, which
// the caller closes, or null when it could not start.
HANDLE StartPageWorker(PageContext* context);

// Asks the worker to stop and cancels its read, again and again until it has seen the stop or about
// 100 ms have passed, whichever comes first; it never waits longer. The worker closes its file as it
// goes, and ends on its own.
void StopPageWorker(HANDLE thread, PageContext* context);
