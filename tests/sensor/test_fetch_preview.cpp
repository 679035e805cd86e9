// The picture of a fetch handed on while the blocks arrive, on the link's clock.

#include "sensor/FetchPreview.h"

#include <QList>
#include <gtest/gtest.h>

using namespace kel;

namespace {

class SteppedClock : public serial::Clock {
public:
    quint32 milliseconds() override { return now; }
    void checkpoint() override {}
    void sleep(int ms) override { now += static_cast<quint32>(ms); }
    quint32 now = 0xFFFFF000u; // wraps during the fetch
};

TEST(FetchPreview, firstBandAtOnceThenWholeBandsAtMostFourTimesASecond)
{
    SensorImage header;
    header.Width = 508;
    header.Height = 432;
    // A block and its ACK every 35 ms (38400 baud), where a band takes longer than the gap
    // between two pictures, and every 5 ms, where the gap holds the pictures back.
    for (const quint32 blockMs : {35u, 5u}) {
        SCOPED_TRACE(blockMs);
        SteppedClock clock;
        const quint32 start = clock.now;
        struct Shown {
            quint32 atMs;
            int rows;
        };
        QList<Shown> shown;
        sensor::FetchPreview preview(header, ImageKind::Colour, clock,
                                     [&](const PartialPicture& picture) {
                                         shown.append({clock.now - start, picture.convertedRows()});
                                     });
        const QByteArray block(128, '\x40');
        const qint64 fileBytes = (508 * 432 + 2 + 127) / 128 * 128;
        for (qint64 offset = 0; offset < fileBytes; offset += 128) {
            clock.now += blockMs;
            preview.blockAccepted(offset, block);
        }

        ASSERT_GT(shown.size(), 1);
        // Five rows have come after 20 blocks; the fifth waits for the sixth: four are final.
        EXPECT_EQ(shown.first().atMs, 20u * blockMs);
        EXPECT_EQ(shown.first().rows, 4);
        for (qsizetype i = 1; i < shown.size(); ++i) {
            EXPECT_GE(shown[i].atMs - shown[i - 1].atMs, sensor::FetchPreview::kMinimumGapMs);
            EXPECT_TRUE(shown[i].rows == 432 ||
                        shown[i].rows - shown[i - 1].rows >= sensor::FetchPreview::kBandRows)
                << i;
        }
        EXPECT_EQ(preview.updates(), shown.size());
    }
}

} // namespace
