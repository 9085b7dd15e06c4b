#pragma once

#include <windows.h>

// Takes the command line once the main window shows: lists the files named
// there and, after a Yes/No question for each, hands the folders to the
// expansion worker, which walks them while the window answers. The arguments
// that cannot be taken are named in one message. True when the command line
// named anything besides the program, which makes the main window start a
// run once the walk is over. "/check LIST" as the first argument checks the
// files of that list instead (CheckList) and gives false.
bool TakeCommandLine(HWND window);

// The work of TakeCommandLine on arguments[0..count-1] (the program's own
// path excluded), in order: a file is listed at once, a folder is queued in
// PendingFolders after the question, owned by window; a path that does not
// exist, cannot be converted exactly or does not fit 519 characters is named
// in the message. The caller starts the worker.
void TakeArguments(HWND window, const wchar_t* const* arguments, int count);
