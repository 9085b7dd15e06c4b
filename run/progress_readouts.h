// The progress dialog's four readout lines below its bars: files and bytes
// done of all, the speed and the time left, in the language module's words.
// Every run's job (digest, check, record, update, compare) feeds them.
#pragma once

#include <windows.h>

#include "base/run_progress.h"

// A job's view of its readouts: the counts it last showed and the speed it
// measures. Kept by the job, on its own thread.
struct ProgressReadouts {
    SpeedMeter speed;
    ULONGLONG lastShown; // tick of the last update, 0 before the first
};

// Samples counts into readouts' speed and, at most a few times a second (or
// at once when now is set), sets the dialog's four lines from them. The
// dialog is ProgressWindow; nothing is sent after a stop request.
void ShowReadouts(ProgressReadouts& readouts, const RunCounts& counts, bool now);
