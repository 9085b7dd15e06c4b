// Ctrl+C and Ctrl+Break stop the console program cleanly instead of ending it.
#pragma once

// Installs the handler. The calling thread does the file work: a stop cancels
// its open or read that does not return (a stalled share), again and again
// until the thread has looked at the request.
void CatchStop();

// Whether a stop came; the calling thread is the one CatchStop was called on.
bool StopRequested();
