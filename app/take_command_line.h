#pragma once

#include <windows.h>

// Lists the files named on the command line and walks the folders the user
// agrees to. True when the command line named anything besides the program,
// which makes the main window start a run at once.
bool TakeCommandLine(HWND window);

// The work of TakeCommandLine on arguments[0..count-1] (the program's own
// path excluded), in order: a file is listed, a folder is walked on the
// calling thread after a Yes/No question owned by window, and a path that
// does not exist, cannot be converted or does not fit 519 characters is
// skipped without a message.
void TakeArguments(HWND window, const wchar_t* const* arguments, int count);
