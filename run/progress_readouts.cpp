#include "run/progress_readouts.h"

#include "base/code_page.h"
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

char DecimalMark() {
    const char* mark = LoadText(IDS_DECIMAL_MARK);
    return mark && mark[0] ? mark[0] : '.';
}

// The lines for counts at bytesPerSecond (negative while not known) with secondsLeft (negative while
// not known).
void ReadoutTexts(const RunCounts& counts, double bytesPerSecond, int64_t secondsLeft,
                  std::string (&texts)[ReadoutCount]) {
    const char decimalMark = DecimalMark();
    texts[ReadoutFiles] =
        counts.filesKnown
            ? Worded(IDS_PROGRESS_FILES, CountText(counts.filesDone), CountText(counts.filesAll))
            : Worded(IDS_PROGRESS_FILES_COUNTING, CountText(counts.filesDone));
    texts[ReadoutBytes] =
        counts.bytesKnown ? Worded(IDS_PROGRESS_BYTES, AmountText(counts.bytesDone, decimalMark),
                                   AmountText(counts.bytesAll, decimalMark))
                          : Worded(IDS_PROGRESS_BYTES_COUNTING, AmountText(counts.bytesDone, decimalMark));
    texts[ReadoutSpeed] =
        bytesPerSecond >= 0
            ? Worded(IDS_PROGRESS_SPEED, AmountText(static_cast<uint64_t>(bytesPerSecond), decimalMark))
            : Worded(IDS_PROGRESS_SPEED_UNKNOWN);
    texts[ReadoutTimeLeft] = secondsLeft >= 0 ? Worded(IDS_PROGRESS_TIME_LEFT, DurationText(secondsLeft))
                                              : Worded(IDS_PROGRESS_TIME_UNKNOWN);
}

} // namespace

std::vector<LaterText> WidestReadouts() {
    std::vector<LaterText> widest;
    for (uint64_t amount : WidestAmounts()) {
        const RunCounts counting = {WidestCount, 0, false, amount, 0, false};
        const RunCounts known = {WidestCount, WidestCount, true, amount, amount, true};
        std::string texts[ReadoutCount];
        for (const RunCounts& counts : {counting, known}) {
            const bool measured = counts.bytesKnown;
            ReadoutTexts(counts, measured ? static_cast<double>(amount) : -1, measured ? WidestDuration : -1,
                         texts);
            for (int k = 0; k < ReadoutCount; ++k) {
                widest.push_back({ReadoutIds[k], ToWide(texts[k])});
            }
        }
    }
    return widest;
}

void ShowReadouts(ProgressReadouts& readouts, const RunCounts& counts, bool now) {
    const ULONGLONG tick = GetTickCount64();
    readouts.speed.Sample(tick, counts.bytesDone);
    if ((!now && readouts.lastShown && tick - readouts.lastShown < ReadoutInterval) || HashStopRequested()) {
        return;
    }
    readouts.lastShown = tick;
    std::string texts[ReadoutCount];
    ReadoutTexts(counts, readouts.speed.Known() ? readouts.speed.BytesPerSecond() : -1,
                 SecondsLeft(counts, readouts.speed), texts);
    for (int k = 0; k < ReadoutCount; ++k) {
        if (texts[k] != readouts.shown[k]) {
            SetDlgItemTextA(ProgressWindow, ReadoutIds[k], texts[k].c_str());
            readouts.shown[k] = texts[k];
        }
    }
}
