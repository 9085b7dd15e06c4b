#include "base/run_progress.h"

#include <stdio.h>

namespace {

const uint64_t SampleSpacing = 250;      // milliseconds
const uint64_t KnownAfter = 1000;        // milliseconds measured before the speed counts
const uint64_t LargestUnit = 1ull << 50; // a petabyte

} // namespace

SpeedMeter::SpeedMeter() : m_ticks(), m_bytes(), m_count(0), m_next(0) {}

void SpeedMeter::Sample(uint64_t tick, uint64_t bytesDone) {
    if (m_count > 0) {
        const int last = (m_next + Kept - 1) % Kept;
        if (tick < m_ticks[last] + SampleSpacing) {
            return;
        }
    }
    m_ticks[m_next] = tick;
    m_bytes[m_next] = bytesDone;
    m_next = (m_next + 1) % Kept;
    if (m_count < Kept) {
        ++m_count;
    }
}

bool SpeedMeter::Known() const {
    if (m_count < 2) {
        return false;
    }
    const int oldest = (m_next + Kept - m_count) % Kept;
    const int last = (m_next + Kept - 1) % Kept;
    return m_ticks[last] - m_ticks[oldest] >= KnownAfter;
}

double SpeedMeter::BytesPerSecond() const {
    if (m_count < 2) {
        return 0;
    }
    const int oldest = (m_next + Kept - m_count) % Kept;
    const int last = (m_next + Kept - 1) % Kept;
    const uint64_t span = m_ticks[last] - m_ticks[oldest];
    const uint64_t bytes = m_bytes[last] >= m_bytes[oldest] ? m_bytes[last] - m_bytes[oldest] : 0;
    return span ? static_cast<double>(bytes) * 1000.0 / static_cast<double>(span) : 0;
}

int64_t SecondsLeft(const RunCounts& counts, const SpeedMeter& speed) {
    if (!counts.bytesKnown || !speed.Known()) {
        return -1;
    }
    if (counts.bytesDone >= counts.bytesAll) {
        return 0;
    }
    const double perSecond = speed.BytesPerSecond();
    if (perSecond < 1) {
        return -1; // stalled: no honest guess
    }
    const double left = static_cast<double>(counts.bytesAll - counts.bytesDone) / perSecond;
    return left > 1e9 ? -1 : static_cast<int64_t>(left + 0.5);
}

std::string CountText(uint64_t count) { return std::to_string(count); }

std::string AmountText(uint64_t bytes, char decimalMark) {
    static const char* const Units[] = {"KB", "MB", "GB", "TB", "PB", "EB"};
    if (bytes < 1024) {
        return std::to_string(bytes) + " bytes";
    }
    // Tenths of the unit, rounded, carried into the next unit where they reach 1024.
    int unit = 0;
    double value = static_cast<double>(bytes) / 1024.0;
    while (value >= 1023.95 && unit + 1 < static_cast<int>(sizeof Units / sizeof Units[0])) {
        value /= 1024.0;
        ++unit;
    }
    const uint64_t tenths = static_cast<uint64_t>(value * 10.0 + 0.5);
    char text[48];
    snprintf(text, sizeof text, "%llu%c%u %s", static_cast<unsigned long long>(tenths / 10), decimalMark,
             static_cast<unsigned>(tenths % 10), Units[unit]);
    return text;
}

std::string DurationText(int64_t seconds) {
    if (seconds < 0) {
        seconds = 0;
    }
    const long long hours = seconds / 3600;
    const int minutes = static_cast<int>(seconds / 60 % 60);
    const int rest = static_cast<int>(seconds % 60);
    char text[32];
    if (hours > 0) {
        snprintf(text, sizeof text, "%lld:%02d:%02d", hours, minutes, rest);
    } else {
        snprintf(text, sizeof text, "%d:%02d", minutes, rest);
    }
    return text;
}

std::vector<uint64_t> WidestAmounts() {
    std::vector<uint64_t> amounts;
    for (uint64_t unit = 1; unit <= LargestUnit; unit <<= 10) {
        amounts.push_back(unit * 1023 + unit / 10 * 9);
    }
    return amounts;
}
