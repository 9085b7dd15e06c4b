// The readouts' units and rounding, the speed over the last few seconds, and a time left that is
// not guessed while the bytes in all or the speed are not known.
#include <gtest/gtest.h>

#include "base/run_progress.h"

TEST(RunProgress, AmountsInBinaryUnitsWithOneRoundedDecimal) {
    const struct {
        uint64_t bytes;
        char mark;
        const char* text;
    } cases[] = {{0, '.', "0 bytes"},      {1023, '.', "1023 bytes"}, {1024, '.', "1.0 KB"},
                 {1075, ',', "1,0 KB"},    {1076, ',', "1,1 KB"},     {1048524, '.', "1023.9 KB"},
                 {1048525, '.', "1.0 MB"}, {1572864, '.', "1.5 MB"},  {3ULL << 40, '.', "3.0 TB"},
                 {~0ULL, '.', "16.0 EB"}};
    for (const auto& c : cases)
        EXPECT_EQ(AmountText(c.bytes, c.mark), c.text) << c.bytes;
    EXPECT_EQ(DurationText(-1), "0:00");
    EXPECT_EQ(DurationText(59), "0:59");
    EXPECT_EQ(DurationText(200), "3:20");
    EXPECT_EQ(DurationText(3920), "1:05:20");
}

TEST(RunProgress, SpeedOverTheLastFewSecondsAndTimeLeft) {
    SpeedMeter speed;
    RunCounts counts = {0, 1, true, 0, 1080000, true};
    for (uint64_t tick = 0; tick < 1200; tick += 100) // 400 bytes a millisecond; kept: 0, 300, 600, 900
        speed.Sample(tick, tick * 400);
    EXPECT_FALSE(speed.Known()) << "under a second measured";
    EXPECT_EQ(SecondsLeft(counts, speed), -1);
    speed.Sample(1200, 480000);
    ASSERT_TRUE(speed.Known());
    EXPECT_DOUBLE_EQ(speed.BytesPerSecond(), 400000.0);
    counts.bytesDone = 480000;
    EXPECT_EQ(SecondsLeft(counts, speed), 2); // 600,000 at 400,000 a second: 1.5, rounded
    counts.bytesKnown = false;
    EXPECT_EQ(SecondsLeft(counts, speed), -1);
    for (uint64_t tick = 1450; tick <= 20000; tick += 250) // a stall: the old pace leaves the window
        speed.Sample(tick, 480000);
    counts.bytesKnown = true;
    EXPECT_EQ(speed.BytesPerSecond(), 0.0);
    EXPECT_EQ(SecondsLeft(counts, speed), -1);
    counts.bytesDone = counts.bytesAll;
    EXPECT_EQ(SecondsLeft(counts, speed), 0);
}
