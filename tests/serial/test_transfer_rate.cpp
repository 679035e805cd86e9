// The rate and time left of a transfer, from the bytes done at moments of the link's clock.

#include "serial/TransferRate.h"

#include <gtest/gtest.h>
#include <optional>

using kel::serial::TransferRate;

namespace {

struct RateCase {
    const char* name;
    quint32 startMs;   // the clock when the first block came
    quint32 stepMs;    // between two notes
    quint32 movingMs;  // how long bytes kept coming, at bytesPerSecond
    quint32 stalledMs; // then how long nothing came
    int bytesPerSecond;
    qint64 total;
    std::optional<double> rate;
    std::optional<qint64> secondsLeft;
};

const RateCase kRateCases[] = {
    {"noNoteYet", 0, 10, 0, 0, 0, 1000, std::nullopt, std::nullopt},
    {"tooShortToTell", 0, 10, 400, 0, 3840, 219458, std::nullopt, std::nullopt},
    {"rateBeforeItIsSteadyTellsNoTimeLeft", 0, 10, 2000, 0, 3840, 219458, 3840.0, std::nullopt},
    // 3 s at 3840 B/s: 11,520 done, 207,938 left is 54.2 s, told as 55.
    {"steadyLineRate", 0, 10, 3000, 0, 3840, 219458, 3840.0, 55},
    {"unknownTotalTellsOnlyTheRate", 0, 10, 3000, 0, 3840, -1, 3840.0, std::nullopt},
    {"totalReached", 0, 10, 2000, 0, 3840, 5000, 3840.0, 0},
    // 10 s at 1000 B/s, then 2 s of nothing: the last 5 s moved 3000 bytes.
    {"aStallLowersTheRateOverTheWindow", 0, 100, 10000, 2000, 1000, 100000, 600.0, 150},
    {"aLongStallLeavesNoTimeToTell", 0, 100, 10000, 6000, 1000, 100000, 0.0, std::nullopt},
    {"theClockWraps", 0xFFFFFF00u, 10, 3000, 0, 3840, 219458, 3840.0, 55},
};

TEST(TransferRate, rateAndTimeLeftFollowTheBytesOverTheLastSeconds)
{
    for (const RateCase& c : kRateCases) {
        TransferRate rate;
        const quint32 end = c.movingMs + c.stalledMs;
        for (quint32 t = 0; c.movingMs > 0 && t <= end; t += c.stepMs) {
            const qint64 bytes = qint64(std::min(t, c.movingMs)) * c.bytesPerSecond / 1000;
            rate.note(bytes, c.startMs + t);
        }
        const std::optional<double> measured = rate.bytesPerSecond();
        ASSERT_EQ(measured.has_value(), c.rate.has_value()) << c.name;
        if (c.rate) {
            EXPECT_NEAR(*measured, *c.rate, 0.5) << c.name;
        }
        EXPECT_EQ(rate.secondsLeft(c.total), c.secondsLeft) << c.name;
    }
}

} // namespace
