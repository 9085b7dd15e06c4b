// Ctrl+C and Ctrl+Break stop the console program cleanly instead of ending it.
#pragma once

// Installs the handler and watches the calling thread. A stop cancels the
// open or read of every watched thread that does not return (a stalled share,
// a silent pipe), again and again until that thread has looked at the request
// or is no longer watched.
void CatchStop();

// Each thread that reads files watches itself while it does (at most
// MostWatched at a time; others are not cancelled, only asked).
void WatchThisThread();
void ForgetThisThread();

// Whether a stop came; the calling thread has seen it from now on.
bool StopRequested();
