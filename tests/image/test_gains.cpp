// Applying the sensor's gains to a raw mosaic and removing them again before an upload.

#include "ImageTestSupport.h"
#include "image/Gains.h"

using namespace kel;
using namespace kel::test;

namespace {

void setGains(SensorImage& image, int phase, int r, int g, int b)
{
    image.BayerPhase = static_cast<quint8>(phase);
    image.GainR = static_cast<quint8>(r);
    image.GainG = static_cast<quint8>(g);
    image.GainB = static_cast<quint8>(b);
}

TEST(ApplyGains, eachSiteGetsItsOwnFactorWithHalvesToEven)
{
    ImageState state;
    state.CurrentImage.Pixels =
        gridFromRows({{0, 1, 2, 3, 4, 5}, {0, 1, 2, 3, 4, 5}, {200, 0, 0, 0, 0, 0}});
    setGains(state.CurrentImage, 0, 50, 150, 7);
    assignModelName(state.UploadImage, QStringLiteral("KEEP"));
    state.UploadImage.Width = 77;

    ASSERT_TRUE(fncApplyGains(state));
    EXPECT_EQ(state.UploadImage.Pixels,
              gridFromRows({{0, 2, 3, 8, 6, 12}, {0, 1, 5, 3, 10, 5}, {255, 0, 0, 0, 0, 0}}));
    EXPECT_EQ(state.UploadImage.Width, 77);
    EXPECT_EQ(state.UploadImage.ModelName[0], 'K');
    EXPECT_EQ(state.UploadImage.BayerPhase, 0);
}

TEST(ApplyGains, arrangementDecidesTheSites)
{
    // Red gain 100 doubles red sites only; the site of (0, 0) differs per arrangement.
    struct Case {
        int phase;
        ByteGrid expected;
    };
    const Case cases[] = {
        {0, gridFromRows({{20, 10}, {10, 10}})}, {1, gridFromRows({{10, 10}, {20, 10}})},
        {2, gridFromRows({{10, 20}, {10, 10}})}, {3, gridFromRows({{10, 10}, {10, 20}})},
        {9, gridFromRows({{10, 10}, {10, 20}})},
    };
    for (const Case& c : cases) {
        ImageState state;
        state.CurrentImage.Pixels = gridFromRows({{10, 10}, {10, 10}});
        setGains(state.CurrentImage, c.phase, 100, 0, 0);
        ASSERT_TRUE(fncApplyGains(state));
        EXPECT_EQ(state.UploadImage.Pixels, c.expected) << c.phase;
    }
}

TEST(ApplyGains, failsWithoutRawPixels)
{
    ImageState state;
    EXPECT_FALSE(fncApplyGains(state));
}

TEST(RemoveGains, dividesByTheSensorsFactors)
{
    ImageState state;
    state.UploadImage.Pixels = gridFromRows({{132, 132, 132}, {132, 132, 132}});
    setGains(state.UploadImage, 0, 10, 20, 32);
    state.CurrentImage.Width = 508;
    state.CurrentImage.Height = 216;

    ASSERT_TRUE(fncRemoveGains(state));
    EXPECT_EQ(state.CurrentImage.Pixels, gridFromRows({{120, 110, 120}, {110, 100, 110}}));
    EXPECT_EQ(state.CurrentImage.Width, 508);
    EXPECT_EQ(state.CurrentImage.Height, 216);
}

TEST(RemoveGains, exactHalvesGoToTheEvenInteger)
{
    ImageState state;
    // Red sites at even columns of row 0 (factor 2.0), green sites at the odd ones (2.5).
    state.UploadImage.Pixels = gridFromRows({{5, 3, 7, 9, 9, 15}});
    setGains(state.UploadImage, 0, 100, 150, 0);
    ASSERT_TRUE(fncRemoveGains(state));
    EXPECT_EQ(state.CurrentImage.Pixels, gridFromRows({{2, 1, 4, 4, 4, 6}}));
}

TEST(RemoveGains, failsQuietlyBeforeAnythingWasConvertedOrImported)
{
    ImageState state;
    state.CurrentImage.Pixels = gridFromRows({{1, 2}});
    EXPECT_FALSE(fncRemoveGains(state));
    EXPECT_EQ(state.CurrentImage.Pixels, gridFromRows({{1, 2}}));
}

} // namespace
