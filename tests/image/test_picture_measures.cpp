// The measurements on a converted picture: the pixel readout against the colour arrangement,
// the line profile's sampling, and the hostile cases of statistics and comparison. The figures
// themselves are checked against numpy by tests/kelctl/check_picture_figures.py.

#include "core/WorkFolders.h"
#include "image/BitmapFile.h"
#include "image/ImageDocument.h"
#include "image/ImageFiles.h"
#include "image/ImageTestSupport.h"
#include "image/LineProfile.h"
#include "image/PictureCompare.h"
#include "image/PictureConversion.h"
#include "image/PictureStats.h"
#include "image/PixelReadout.h"

#include <QFile>

using namespace kel;
using namespace kel::test;

namespace {

// A colour picture whose raw image is 4 x 4 elements of 10 * y + x + 1, converted.
ImageState convertedMosaic(quint8 phase)
{
    ImageState state;
    state.CurrentImage.BayerPhase = phase;
    state.CurrentImage.Pixels =
        gridFromRows({{1, 2, 3, 4}, {11, 12, 13, 14}, {21, 22, 23, 24}, {31, 32, 33, 34}});
    state.BitmapWidth = 4;
    state.BitmapHeight = 4;
    fncColorConvert(state);
    return state;
}

quint8 ownChannel(const PixelReadout& readout, SiteColour colour)
{
    switch (colour) {
    case SiteColour::Red:
        return readout.red;
    case SiteColour::Green:
        return readout.green;
    case SiteColour::Blue:
        break;
    }
    return readout.blue;
}

TEST(PixelReadout, rawValueAndFilterColourFollowEachArrangement)
{
    constexpr SiteColour R = SiteColour::Red, G = SiteColour::Green, B = SiteColour::Blue;
    struct Case {
        quint8 phase;
        SiteColour evenEven, oddEven, evenOdd, oddOdd; // (x parity, y parity)
    };
    const Case cases[] = {
        {0, R, G, G, B}, {1, G, B, R, G}, {2, G, R, B, G},
        {3, B, G, G, R}, {7, B, G, G, R}, // above 3 acts as 3
    };
    for (const Case& c : cases) {
        const ImageState state = convertedMosaic(c.phase);
        const PictureView picture = convertedPicture(state);
        ASSERT_EQ(picture.kind(), ImageKind::Colour);
        for (const auto& [x, y, colour] : {std::tuple{2, 0, c.evenEven},
                                           {1, 2, c.oddEven},
                                           {0, 3, c.evenOdd},
                                           {3, 1, c.oddOdd}}) {
            const PixelReadout readout = readPixel(picture, &state.CurrentImage, x, y);
            const std::string where = "phase " + std::to_string(c.phase) + " at " +
                                      std::to_string(x) + "," + std::to_string(y);
            ASSERT_TRUE(readout.inside && readout.raw) << where;
            EXPECT_EQ(readout.raw->value, 10 * y + x + 1) << where;
            EXPECT_EQ(readout.raw->colour, colour) << where;
            // With gains 0 the site keeps its own colour's raw value.
            EXPECT_EQ(ownChannel(readout, colour), readout.raw->value) << where;
        }
    }
}

TEST(PixelReadout, greyPicturesBitmapsAndPointsOutside)
{
    ImageState grey = convertedMosaic(0);
    fncMonoConvert(grey);
    const PixelReadout greyValue = readPixel(convertedPicture(grey), &grey.CurrentImage, 1, 2);
    EXPECT_TRUE(greyValue.inside);
    EXPECT_EQ(greyValue.kind, ImageKind::Grey);
    EXPECT_EQ(greyValue.grey, 22);
    EXPECT_FALSE(greyValue.raw);

    const ImageState colour = convertedMosaic(0);
    EXPECT_FALSE(readPixel(convertedPicture(colour), nullptr, 1, 1).raw);
    for (const QPoint p : {QPoint(-1, 0), QPoint(0, -1), QPoint(4, 0), QPoint(0, 4)})
        EXPECT_FALSE(readPixel(convertedPicture(colour), &colour.CurrentImage, p.x(), p.y()).inside)
            << p.x() << "," << p.y();
}

class DocumentReadout : public ImageTest {};

// An opened bitmap's mosaic was sampled from the picture, so it gives no raw values; an
// opened sensor image file does.
TEST_F(DocumentReadout, onlyAnOpenedSensorImageFileHasRawValues)
{
    ImageDocument document(dir.paths().tmpDir());
    EXPECT_FALSE(document.pictureMosaic());

    state.CurrentImage.Width = 508;
    state.CurrentImage.Height = 108;
    state.CurrentImage.BayerPhase = 2;
    state.CurrentImage.Pixels = patternGrid(508, 108);
    const QString kel = dir.file(QStringLiteral("a.KEL"));
    ASSERT_TRUE(fncWriteFile_KEL(core, state, kel));
    ASSERT_TRUE(document.openKel(core, kel, ImageKind::Colour));
    ASSERT_TRUE(document.pictureMosaic());
    const PixelReadout fromKel = readPixel(document.picture(), document.pictureMosaic(), 5, 6);
    ASSERT_TRUE(fromKel.raw);
    EXPECT_EQ(fromKel.raw->value, state.CurrentImage.Pixels.at(5, 6));
    EXPECT_EQ(fromKel.raw->colour, SiteColour::Red);

    const QString bitmap = dir.file(QStringLiteral("a.bmp"));
    QFile::copy(document.workFile(kTmpBmp), bitmap);
    ASSERT_TRUE(document.openBitmap(core, bitmap));
    EXPECT_FALSE(document.pictureMosaic());
    const PixelReadout fromBitmap = readPixel(document.picture(), document.pictureMosaic(), 5, 6);
    EXPECT_TRUE(fromBitmap.inside);
    EXPECT_FALSE(fromBitmap.raw);
    EXPECT_EQ(fromBitmap.red, fromKel.red);
    EXPECT_EQ(fromBitmap.blue, fromKel.blue);
}

// A grey picture of 10 x 6 pixels whose value is 10 * y + x.
Picture numberedPicture()
{
    Picture picture;
    picture.pixels.recreate(10, 6);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 10; ++x)
            picture.pixels.at(x, y) = static_cast<quint8>(10 * y + x);
    return picture;
}

TEST(LineProfile, samplesEachPixelOfTheLineOnceAndOnlyInsideThePicture)
{
    using Points = std::vector<QPoint>;
    struct Case {
        const char* what;
        QPoint from, to;
        Points points;
    };
    const Case cases[] = {
        {"one pixel", {3, 2}, {3, 2}, {{3, 2}}},
        {"right to left", {3, 1}, {0, 1}, {{3, 1}, {2, 1}, {1, 1}, {0, 1}}},
        {"diagonal", {0, 0}, {3, 3}, {{0, 0}, {1, 1}, {2, 2}, {3, 3}}},
        {"shallow", {0, 0}, {4, 2}, {{0, 0}, {1, 1}, {2, 1}, {3, 2}, {4, 2}}},
        {"steep, upwards", {1, 5}, {0, 2}, {{1, 5}, {1, 4}, {0, 3}, {0, 2}}},
        {"starting outside", {-3, 0}, {2, 0}, {{0, 0}, {1, 0}, {2, 0}}},
        {"leaving at the bottom", {8, 3}, {11, 6}, {{8, 3}, {9, 4}}},
        {"passing outside", {-5, -1}, {20, -1}, {}},
        {"longer than 2^30", {-2000000000, 3}, {2000000000, 3}, {}},
    };
    const Picture picture = numberedPicture();
    for (const Case& c : cases) {
        const LineProfile profile = lineProfile(picture.view(), c.from, c.to);
        EXPECT_EQ(profile.points, c.points) << c.what;
        ASSERT_EQ(profile.channels.size(), 1u) << c.what;
        EXPECT_EQ(profile.channels[0].channel, Channel::Grey);
        ASSERT_EQ(profile.channels[0].values.size(), c.points.size()) << c.what;
        for (std::size_t i = 0; i < c.points.size(); ++i)
            EXPECT_EQ(profile.channels[0].values[i], 10 * c.points[i].y() + c.points[i].x())
                << c.what;
    }
}

TEST(LineProfile, wholeRowsAndColumns)
{
    const Picture picture = numberedPicture();
    const LineProfile row = rowProfile(picture.view(), 5);
    ASSERT_EQ(row.points.size(), 10u);
    EXPECT_EQ(row.channels[0].values.front(), 50);
    EXPECT_EQ(row.channels[0].values.back(), 59);
    const LineProfile column = columnProfile(picture.view(), 9);
    ASSERT_EQ(column.points.size(), 6u);
    EXPECT_EQ(column.channels[0].values.back(), 59);
    EXPECT_TRUE(rowProfile(picture.view(), 6).isEmpty());
    EXPECT_TRUE(columnProfile(picture.view(), -1).isEmpty());
    EXPECT_TRUE(rowProfile(PictureView(), 0).isEmpty());
}

TEST(PictureStats, rectanglesAreClippedAndEmptyOnesGiveNoFigures)
{
    const Picture picture = numberedPicture();
    struct Case {
        const char* what;
        QRect asked, counted;
        int minimum, maximum;
    };
    const Case cases[] = {
        {"whole", {0, 0, 10, 6}, {0, 0, 10, 6}, 0, 59},
        {"over the bottom-right edge", {8, 4, 5, 5}, {8, 4, 2, 2}, 48, 59},
        {"over the top-left edge", {-2, -3, 4, 4}, {0, 0, 2, 1}, 0, 1},
        {"zero width", {2, 2, 0, 3}, {}, 0, 0},
        {"negative height", {2, 2, 3, -1}, {}, 0, 0},
        {"wholly outside", {10, 0, 3, 3}, {}, 0, 0},
    };
    for (const Case& c : cases) {
        const PictureStats stats = pictureStats(picture.view(), c.asked);
        EXPECT_EQ(stats.area, c.counted) << c.what;
        EXPECT_EQ(stats.isEmpty(), c.counted.isEmpty()) << c.what;
        if (stats.isEmpty())
            continue;
        EXPECT_EQ(stats.channels[0].pixels, quint64(c.counted.width() * c.counted.height()))
            << c.what;
        EXPECT_EQ(stats.channels[0].minimum, c.minimum) << c.what;
        EXPECT_EQ(stats.channels[0].maximum, c.maximum) << c.what;
    }
    EXPECT_TRUE(pictureStats(PictureView()).isEmpty());
}

Picture colourPicture(int width, int height, quint8 value)
{
    Picture picture;
    picture.kind = ImageKind::Colour;
    picture.pixels.recreate(3 * width, height);
    std::fill(picture.pixels.data(), picture.pixels.data() + picture.pixels.size(), value);
    return picture;
}

TEST(PictureCompare, onlyPicturesOfOneSizeAndKindAreCompared)
{
    using Outcome = PictureComparison::Outcome;
    const Picture reference = colourPicture(4, 3, 100);
    Picture shifted = colourPicture(4, 3, 100);
    shifted.pixels.at(3 * 2 + 2, 1) = 120; // the red of pixel (2, 1) off by 20
    shifted.pixels.at(0, 0) = 90;          // the blue of pixel (0, 0) off by 10
    struct Case {
        const char* what;
        PictureView picture;
        Outcome outcome;
        quint64 over;
    };
    const Picture other = colourPicture(3, 4, 100);
    const Picture grey = numberedPicture();
    const Case cases[] = {
        {"itself", reference.view(), Outcome::Compared, 0},
        {"two pixels off", shifted.view(), Outcome::Compared, 1},
        {"another size", other.view(), Outcome::DifferentSizes, 0},
        {"grey", grey.view(), Outcome::DifferentSizes, 0},
        {"nothing", PictureView(), Outcome::Empty, 0},
    };
    for (const Case& c : cases) {
        const PictureComparison comparison = comparePictures(c.picture, reference.view());
        EXPECT_EQ(comparison.outcome, c.outcome) << c.what;
        EXPECT_EQ(comparison.pixelsOverThreshold, c.over) << c.what;
        EXPECT_EQ(comparison.channels.size(), c.outcome == Outcome::Compared ? 3u : 0u) << c.what;
        EXPECT_EQ(differencePicture(c.picture, reference.view()).isEmpty(),
                  c.outcome != Outcome::Compared)
            << c.what;
    }

    Picture greyOfThatSize;
    greyOfThatSize.pixels.recreate(4, 3);
    EXPECT_EQ(comparePictures(greyOfThatSize.view(), reference.view()).outcome,
              Outcome::DifferentKinds);

    const Picture difference = differencePicture(shifted.view(), reference.view());
    EXPECT_EQ(difference.kind, ImageKind::Colour);
    EXPECT_EQ(difference.pixels.at(3 * 2 + 2, 1), 20);
    EXPECT_EQ(difference.pixels.at(0, 0), 10);
    EXPECT_EQ(difference.pixels.at(1, 0), 0);
    const PictureComparison strict = comparePictures(shifted.view(), reference.view(), 9);
    EXPECT_EQ(strict.pixelsOverThreshold, 2u);
    EXPECT_EQ(strict.channels[0].channel, Channel::Red);
    EXPECT_EQ(strict.channels[0].largestDifference, 20);
    EXPECT_DOUBLE_EQ(strict.channels[2].meanAbsoluteDifference, 10.0 / 12);
}

} // namespace
