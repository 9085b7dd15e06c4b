// The progress dialog's four readout lines below its bars: files and bytes
// done of all, the speed and the time left, in the language module's words.
// Every run's job (digest, check, record, update, compare) feeds them.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "base/run_progress.h"
#include "base/text_fit.h"

// The lines, top to bottom.
enum Readout { ReadoutFiles, ReadoutBytes, ReadoutSpeed, ReadoutTimeLeft, ReadoutCount };

// A job's view of its readouts: the counts it last showed and the speed it
// measures. Kept by the job, on its own thread.
struct ProgressReadouts {
    SpeedMeter speed;
    ULONGLONG lastShown = 0;              // tick of the last update, 0 before the first
    std::string shown[ReadoutCount] = {}; // each line's text as last set: only a change is sent
};

// Samples counts into readouts' speed and, at most a few times a second (or
// at once when now is set), sets the dialog's four lines from them: a line
// whose text is unchanged is not sent (under Wine each costs a cross-thread
// message and a repaint). The dialog is ProgressWindow; nothing is sent after
// a stop request.
void ShowReadouts(ProgressReadouts& readouts, const RunCounts& counts, bool now);

// Every form each line takes, with the widest counts, amounts and times a run shows (WidestCount, ...),
// in the language module's words: the dialog makes room for them as it is dressed.
std::vector<LaterText> WidestReadouts();
