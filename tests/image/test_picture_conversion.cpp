// The colour demosaic with gains and the grey copy.

#include "ImageTestSupport.h"
#include "image/PartialPicture.h"
#include "image/PictureConversion.h"

#include <algorithm>
#include <cmath>
#include <cstring>

using namespace kel;
using namespace kel::test;

namespace {

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Rgb& c)
{
    return out << "(" << c.r << ", " << c.g << ", " << c.b << ")";
}

// The picture pixel of raw element (x, y): bitmap rows are stored bottom-up.
Rgb pixelOf(const ImageState& state, int x, int y)
{
    const int row = state.BitmapPixels.rows() - 1 - y;
    return {state.BitmapPixels.at(3 * x + 2, row), state.BitmapPixels.at(3 * x + 1, row),
            state.BitmapPixels.at(3 * x, row)};
}

ImageState convert(const ByteGrid& raw, int phase, int gainR = 0, int gainG = 0, int gainB = 0)
{
    ImageState state;
    state.CurrentImage.Pixels = raw;
    state.CurrentImage.BayerPhase = static_cast<quint8>(phase);
    state.CurrentImage.GainR = static_cast<quint8>(gainR);
    state.CurrentImage.GainG = static_cast<quint8>(gainG);
    state.CurrentImage.GainB = static_cast<quint8>(gainB);
    EXPECT_TRUE(fncColorConvert(state));
    return state;
}

// A plain reading of the interpolation rule, element by element, with its own table of sites
// per arrangement: 'R', 'G' or 'B' at (even x, even y), (odd x, even y), (even x, odd y),
// (odd x, odd y).
Rgb referencePixel(const ByteGrid& raw, int phase, int x, int y, float kR, float kG, float kB)
{
    static const char* const sites[4] = {"RGGB", "GBRG", "GRBG", "BGGR"};
    const char* table = sites[phase > 2 ? 3 : phase];
    auto siteAt = [&](int sx, int sy) { return table[(sx & 1) + 2 * (sy & 1)]; };
    auto mean = [&](std::initializer_list<std::pair<int, int>> offsets) {
        int sum = 0, count = 0;
        for (auto [dx, dy] : offsets) {
            const int nx = x + dx, ny = y + dy;
            if (nx >= 0 && ny >= 0 && nx < raw.columns() && ny < raw.rows()) {
                sum += raw.at(nx, ny);
                ++count;
            }
        }
        return count ? sum / count : 0;
    };
    const int own = raw.at(x, y);
    const int cross = mean({{-1, 0}, {1, 0}, {0, -1}, {0, 1}});
    const int diagonal = mean({{-1, -1}, {1, -1}, {-1, 1}, {1, 1}});
    const int across = mean({{-1, 0}, {1, 0}});
    const int upDown = mean({{0, -1}, {0, 1}});
    const bool redRow = siteAt(0, y) == 'R' || siteAt(1, y) == 'R';
    Rgb c{};
    switch (siteAt(x, y)) {
    case 'R':
        c = {own, cross, diagonal};
        break;
    case 'B':
        c = {diagonal, cross, own};
        break;
    default:
        c = redRow ? Rgb{across, own, upDown} : Rgb{upDown, own, across};
    }
    auto gain = [](int v, float k) {
        const float p = static_cast<float>(v) * k;
        return p > 255.0f ? 255 : static_cast<int>(std::nearbyint(p));
    };
    return {gain(c.r, kR), gain(c.g, kG), gain(c.b, kB)};
}

TEST(ColourConversion, workedExampleOfArrangementZero)
{
    const ByteGrid raw = gridFromRows(
        {{12, 200, 34, 180}, {210, 55, 190, 77}, {16, 230, 38, 170}, {220, 61, 205, 90}});
    const Rgb expected[4][4] = {
        {{12, 205, 55}, {23, 200, 55}, {34, 190, 66}, {34, 180, 77}},
        {{14, 210, 55}, {25, 207, 55}, {36, 190, 66}, {36, 180, 77}},
        {{16, 220, 58}, {27, 230, 58}, {38, 198, 70}, {38, 170, 83}},
        {{16, 220, 61}, {27, 218, 61}, {38, 205, 75}, {38, 187, 90}},
    };
    const ImageState state = convert(raw, 0);
    ASSERT_EQ(state.BitmapPixels.columns(), 12);
    ASSERT_EQ(state.BitmapPixels.rows(), 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(pixelOf(state, x, y), expected[y][x]) << "x " << x << " y " << y;
    // Raw row 0 is the last bitmap row: blue, green, red of (0, 0).
    EXPECT_EQ(state.BitmapPixels.at(0, 3), 55);
    EXPECT_EQ(state.BitmapPixels.at(1, 3), 205);
    EXPECT_EQ(state.BitmapPixels.at(2, 3), 12);
}

TEST(ColourConversion, topRightGreenCornerOfAnOddLastColumn)
{
    const ByteGrid raw =
        gridFromRows({{1, 2, 3, 4, 5, 6}, {7, 8, 9, 10, 11, 12}, {13, 14, 15, 16, 17, 18}});
    const ImageState state = convert(raw, 0);
    EXPECT_EQ(pixelOf(state, 5, 0), (Rgb{5, 6, 12}));
}

TEST(ColourConversion, matchesThePlainRuleForEverySizeArrangementAndGain)
{
    // Sizes from 1 to 6 in both directions cover every border case, odd and even; the sensor's
    // size covers the inner path.
    struct Gains {
        int r, g, b;
    };
    for (const Gains gains : {Gains{0, 0, 0}, Gains{50, 150, 7}}) {
        const float kR = static_cast<float>(1.0 + gains.r / 100.0);
        const float kG = static_cast<float>(1.0 + gains.g / 100.0);
        const float kB = static_cast<float>(1.0 + gains.b / 100.0);
        for (int phase : {0, 1, 2, 3, 7, 255}) {
            std::vector<std::pair<int, int>> sizes = {{508, 432}};
            for (int w = 1; w <= 6; ++w)
                for (int h = 1; h <= 6; ++h)
                    sizes.emplace_back(w, h);
            for (const auto& [w, h] : sizes) {
                const ByteGrid raw = patternGrid(w, h, static_cast<unsigned>(w * 31 + h));
                const ImageState state = convert(raw, phase, gains.r, gains.g, gains.b);
                ASSERT_EQ(state.BitmapPixels.columns(), 3 * w);
                ASSERT_EQ(state.BitmapPixels.rows(), h);
                int mismatches = 0;
                for (int y = 0; y < h; ++y)
                    for (int x = 0; x < w; ++x)
                        if (!(pixelOf(state, x, y) ==
                              referencePixel(raw, phase, x, y, kR, kG, kB)) &&
                            ++mismatches <= 3)
                            ADD_FAILURE() << "phase " << phase << " size " << w << "x" << h
                                          << " at " << x << "," << y << ": " << pixelOf(state, x, y)
                                          << " vs " << referencePixel(raw, phase, x, y, kR, kG, kB);
            }
        }
    }
}

TEST(ColourConversion, arrangementsAbove2GiveThePictureOf3)
{
    const ByteGrid raw = patternGrid(9, 7);
    const ByteGrid three = convert(raw, 3, 10, 20, 30).BitmapPixels;
    for (int phase : {4, 7, 200})
        EXPECT_EQ(convert(raw, phase, 10, 20, 30).BitmapPixels, three) << phase;
    EXPECT_NE(convert(raw, 2, 10, 20, 30).BitmapPixels, three);
}

TEST(ColourConversion, gainsSaturateAndRoundHalvesToEven)
{
    struct Case {
        int gain, raw, expected;
    };
    const Case cases[] = {
        {10, 100, 110}, {10, 200, 220}, {10, 233, 255},  // 256.3 saturates
        {50, 1, 2},     {50, 3, 4},     {50, 5, 8},      // 1.5, 4.5, 7.5
        {0, 255, 255},  {0, 0, 0},      {100, 128, 255}, // 256 saturates
        {255, 1, 4},                                     // 3.55
    };
    for (const Case& c : cases) {
        // A uniform image: every mean equals the raw value, so each channel shows its own gain.
        ByteGrid raw(4, 4);
        std::fill(raw.data(), raw.data() + raw.size(), static_cast<quint8>(c.raw));
        const ImageState red = convert(raw, 0, c.gain, 0, 0);
        EXPECT_EQ(pixelOf(red, 1, 2), (Rgb{c.expected, c.raw, c.raw})) << c.gain << " " << c.raw;
        const ImageState blue = convert(raw, 0, 0, 0, c.gain);
        EXPECT_EQ(pixelOf(blue, 3, 3).b, c.expected) << c.gain << " " << c.raw;
    }
}

TEST(ColourConversion, singleElementAndSingleLineImagesStayInside)
{
    // Colours without any neighbour of their kind come out as 0.
    EXPECT_EQ(pixelOf(convert(gridFromRows({{90}}), 0), 0, 0), (Rgb{90, 0, 0}));
    EXPECT_EQ(pixelOf(convert(gridFromRows({{90}}), 3), 0, 0), (Rgb{0, 0, 90}));
    const ImageState row = convert(gridFromRows({{10, 20, 30}}), 0);
    EXPECT_EQ(pixelOf(row, 0, 0), (Rgb{10, 20, 0}));
    EXPECT_EQ(pixelOf(row, 1, 0), (Rgb{20, 20, 0}));
    const ImageState column = convert(gridFromRows({{10}, {20}, {30}}), 0);
    EXPECT_EQ(pixelOf(column, 0, 1), (Rgb{20, 20, 0}));
    const ImageState empty = convert(ByteGrid(), 0);
    EXPECT_TRUE(empty.BitmapPixels.isEmpty());
}

TEST(GreyConversion, copiesRawValuesFlippedUpsideDown)
{
    ImageState state;
    state.CurrentImage.Pixels =
        gridFromRows({{0, 1, 2, 3, 4}, {10, 11, 12, 13, 14}, {20, 21, 22, 23, 255}});
    state.CurrentImage.GainR = 100; // not used
    ASSERT_TRUE(fncMonoConvert(state));
    EXPECT_EQ(state.BitmapPixels,
              gridFromRows({{20, 21, 22, 23, 255}, {10, 11, 12, 13, 14}, {0, 1, 2, 3, 4}}));
}

} // namespace

namespace {

// A raw image of the given size and arrangement, handed over in 128-byte blocks as a receive
// does, with the filler of the last block after the trailer.
struct PartialCase {
    ImageKind kind;
    int width, height, phase;
};

} // namespace

TEST(PartialPicture, rowsConvertedWhileArrivingAreTheRowsOfTheWholeConversion)
{
    const PartialCase cases[] = {
        {ImageKind::Colour, 508, 108, 0}, {ImageKind::Colour, 7, 5, 1},
        {ImageKind::Colour, 9, 40, 2},    {ImageKind::Colour, 3, 2, 3},
        {ImageKind::Grey, 508, 108, 0},   {ImageKind::Grey, 5, 3, 0},
    };
    for (const PartialCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " phase " << c.phase);
        ImageState whole;
        whole.CurrentImage.Pixels = patternGrid(c.width, c.height, 7);
        whole.CurrentImage.BayerPhase = static_cast<quint8>(c.phase);
        whole.CurrentImage.GainR = 50;
        whole.CurrentImage.GainG = 7;
        whole.CurrentImage.GainB = 150;
        whole.CurrentImage.Width = static_cast<qint16>(c.width);
        whole.CurrentImage.Height = static_cast<qint16>(c.height);
        c.kind == ImageKind::Colour ? fncColorConvert(whole) : fncMonoConvert(whole);
        const ByteGrid& bitmap = whole.BitmapPixels;

        const qsizetype pixelBytes = static_cast<qsizetype>(whole.CurrentImage.Pixels.size());
        QByteArray raw(reinterpret_cast<const char*>(whole.CurrentImage.Pixels.data()), pixelBytes);
        raw.append(2, '\0');                                // trailer
        raw.append((128 - raw.size() % 128) % 128, '\x1A'); // filler
        PartialPicture partial(whole.CurrentImage, c.kind);
        EXPECT_EQ(partial.rawFileBytes(), c.width * c.height + 2);
        for (qsizetype offset = 0; offset + 128 <= raw.size(); offset += 128) {
            partial.write(offset, QByteArrayView(raw).sliced(offset, 128));
            const int arrived =
                static_cast<int>(std::min<qsizetype>(offset + 128, pixelBytes) / c.width);
            // A colour row waits for the row below it, except the last.
            const int final = c.kind == ImageKind::Grey || arrived == c.height
                                  ? arrived
                                  : std::max(arrived - 1, 0);
            ASSERT_EQ(partial.finalRows(), final) << offset;
            ASSERT_EQ(partial.convert(), final) << offset;
            for (int y = 0; y < final; ++y)
                ASSERT_EQ(0, std::memcmp(partial.picture().row(y), bitmap.row(c.height - 1 - y),
                                         static_cast<std::size_t>(bitmap.columns())))
                    << "row " << y << " at offset " << offset;
        }
        EXPECT_EQ(partial.convertedRows(), c.height);
    }
}
