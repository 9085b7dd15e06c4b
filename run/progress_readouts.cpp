#include "run/progress_readouts.h"

#include "base/hash_stop.h"
#include "base/load_text.h"
#include "base/program_state.h"
#include "res/resource.h"
#include "window/app_state.h"

namespace {

// A few updates a second: each changed line costs the window thread a repaint.
const ULONGLONG ReadoutInterval = 250;

const int ReadoutIds[ReadoutCount] = {IDC_PROGRESS_FILES, IDC_PROGRESS_BYTES, IDC_PROGRESS_SPEED,
                                      IDC_PROGRESS_TIME_LEFT};

// String textId with first and second for its %s; amounts only, never a user's text.
std::string Worded(UINT textId, const std::string& first = std::string(),
                   const std::string& second = std::string()) {
    const char* format = LoadText(textId);
    char text[SharedTextSize];
    wsprintfA(text, format ? format : "%s %s", first.c_str(), second.c_str());
    return text;
}

} // namespace

void ShowReadouts(ProgressReadouts& readouts, const RunCounts& counts, bool now) {
    const ULONGLONG tick = GetTickCount64();
    readouts.speed.Sample(tick, counts.bytesDone);
    if ((!now && readouts.lastShown && tick - readouts.lastShown < ReadoutInterval) || HashStopRequested()) {
        return;
    }
    readouts.lastShown = tick;
    const char* mark = LoadText(IDS_DECIMAL_MARK);
    const char decimalMark = mark && mark[0] ? mark[0] : '.';
    const int64_t left = SecondsLeft(counts, readouts.speed);
    const std::string texts[ReadoutCount] = {
        counts.filesKnown
            ? Worded(IDS_PROGRESS_FILES, CountText(counts.filesDone), CountText(counts.filesAll))
            : Worded(IDS_PROGRESS_FILES_COUNTING, CountText(counts.filesDone)),
        counts.bytesKnown ? Worded(IDS_PROGRESS_BYTES, AmountText(counts.bytesDone, decimalMark),
                                   AmountText(counts.bytesAll, decimalMark))
                          : Worded(IDS_PROGRESS_BYTES_COUNTING, AmountText(counts.bytesDone, decimalMark)),
        readouts.speed.Known()
            ? Worded(IDS_PROGRESS_SPEED,
                     AmountText(static_cast<uint64_t>(readouts.speed.BytesPerSecond()), decimalMark))
            : Worded(IDS_PROGRESS_SPEED_UNKNOWN),
        left >= 0 ? Worded(IDS_PROGRESS_TIME_LEFT, DurationText(left)) : Worded(IDS_PROGRESS_TIME_UNKNOWN)};
    for (int k = 0; k < ReadoutCount; ++k) {
        if (texts[k] != readouts.shown[k]) {
            SetDlgItemTextA(ProgressWindow, ReadoutIds[k], texts[k].c_str());
            readouts.shown[k] = texts[k];
        }
    }
}
