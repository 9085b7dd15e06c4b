// Ctrl+C and Ctrl+Break stop the console program cleanly instead of ending it.
#pragma once

// Installs the handler; the calling thread is the one that walks folders and
// hands files to the digest workers. A stop asks the workers' run to stop
// (it cancels their I/O itself) and cancels an open or a search of the
// calling thread that does not return (a stalled share), again and again
// until that thread has looked at the request.
void CatchStop();

// Whether a stop came; the calling thread has seen it from now on.
bool StopRequested();
