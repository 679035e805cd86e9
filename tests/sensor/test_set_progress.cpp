// A whole set's figures from its running transfer's: the bytes of the set so far, and the time
// left with a known total or, without one, estimated from the transfers already finished.

#include "sensor/SetProgress.h"

#include <gtest/gtest.h>
#include <optional>
#include <vector>

using kel::sensor::SetProgress;
using kel::serial::TransferFigures;

namespace {

TEST(SetProgress, timeLeftCoversTheWholeSet)
{
    const struct {
        const char* what;
        int transfers;
        qint64 total;
        std::vector<qint64> finished; // bytes of each transfer already ended
        std::optional<qint64> secondsLeft;
    } cases[] = {
        // 3,500 of 10,000 bytes so far at 1,000 bytes/s.
        {"a known total", 4, 10000, {500}, 7},
        // 300 bytes a transfer in three of nine: about 2,700 in all; 1,200 so far, the rest
        // at 100 bytes/s.
        {"an estimate from finished transfers", 9, -1, {300, 300, 300}, 15},
        {"nothing to estimate from yet", 9, -1, {}, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SetProgress set(c.transfers, c.total);
        qint64 before = 0;
        for (qint64 bytes : c.finished) {
            set.transferDone(bytes);
            before += bytes;
        }
        // The running transfer has moved nothing yet, then three seconds' worth: a time left
        // is told once the rate is steady.
        const qint64 rate = c.total > 0 ? 1000 : 100;
        set.figures(TransferFigures{}, 10000);
        TransferFigures running;
        running.done = 3 * rate;
        const TransferFigures figures = set.figures(running, 13000);
        EXPECT_EQ(figures.done, before + 3 * rate);
        EXPECT_EQ(figures.total, c.total);
        EXPECT_EQ(figures.secondsLeft, c.secondsLeft);
    }
}

} // namespace
