// How far a long run is and how long it has left: files and bytes done of all,
// the speed over the last few seconds and the time left, as the progress
// dialog, the console's progress line and the Digests tab show them. Standard
// C++ only.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

// What a run has done and has in all. An "all" that is not final yet (a walk
// still counts) is flagged so: the readouts say so rather than guess.
struct RunCounts {
    uint64_t filesDone;
    uint64_t filesAll;
    bool filesKnown; // filesAll is final
    uint64_t bytesDone;
    uint64_t bytesAll;
    bool bytesKnown; // bytesAll is final
};

// Bytes a second over the last few seconds, from samples of the bytes done
// taken at ticks of a millisecond clock. Samples closer than a quarter second
// to the last one kept are skipped, so a caller may sample as often as it likes.
class SpeedMeter {
public:
    SpeedMeter();
    void Sample(uint64_t tick, uint64_t bytesDone);
    // Whether about a second has been measured.
    bool Known() const;
    double BytesPerSecond() const;

private:
    static const int Kept = 20; // a quarter second apart: five seconds
    uint64_t m_ticks[Kept];
    uint64_t m_bytes[Kept];
    int m_count;
    int m_next;
};

// Seconds left at the measured speed for the bytes not yet done; -1 while the
// bytes in all or the speed are not known.
int64_t SecondsLeft(const RunCounts& counts, const SpeedMeter& speed);

// A count as digits: "1234567".
std::string CountText(uint64_t count);
// Bytes in binary units, one decimal from KB on, with decimalMark between whole
// and tenths: "512 bytes", "1.5 KB", "12.3 MB", "1.2 GB", "3.0 TB".
std::string AmountText(uint64_t bytes, char decimalMark);
// "0:05", "3:20", "1:05:20".
std::string DurationText(int64_t seconds);

// The widest readouts a run shows, for the room made for them: counts of seven digits, 1023.9 of every
// unit from bytes to petabytes, times left in three-digit hours.
const uint64_t WidestCount = 9999999;
const int64_t WidestDuration = 999 * 3600 + 59 * 60 + 59;
std::vector<uint64_t> WidestAmounts();
