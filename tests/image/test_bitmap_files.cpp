// Bitmap files: the header and pixel layout written, 24-bit bitmaps read and sampled into a
// sensor mosaic, and 8-bit grey ones read for viewing.

#include "ImageTestSupport.h"
#include "image/BitmapFile.h"
#include "image/PictureConversion.h"

#include <tuple>

using namespace kel;
using namespace kel::test;

namespace {

// A bitmap file: the given header fields, then pixel bytes.
QByteArray bitmapFile(qint32 width, qint32 height, int bitCount, const QByteArray& pixels,
                      quint32 pixelOffset = 54)
{
    BitmapHeaderRecord h;
    LongToBytes(h.bfType, 0x4D42);
    LongToBytes(h.bfSize, pixelOffset + static_cast<quint32>(pixels.size()));
    LongToBytes(h.bfOffBits, pixelOffset);
    LongToBytes(h.biSize, 40);
    LongToBytes(h.biWidth, static_cast<quint32>(width));
    LongToBytes(h.biHeight, static_cast<quint32>(height));
    LongToBytes(h.biPlanes, 1);
    LongToBytes(h.biBitCount, static_cast<quint32>(bitCount));
    const auto header = h.toBytes();
    QByteArray bytes(reinterpret_cast<const char*>(header.data()), header.size());
    bytes.append(QByteArray(pixelOffset - 54, '\x11'));
    return bytes + pixels;
}

class BitmapTest : public ImageTest {
protected:
    // A converted picture of the given size, ready for the writer.
    void convertedPicture(int width, int height, ImageKind kind)
    {
        state.CurrentImage.Pixels = patternGrid(width, height);
        state.BitmapWidth = width;
        state.BitmapHeight = height;
        kind == ImageKind::Colour ? fncColorConvert(state) : fncMonoConvert(state);
    }
};

TEST_F(BitmapTest, colourFileOfTheFullSensorImage)
{
    convertedPicture(508, 432, ImageKind::Colour);
    const QString path = fncWriteBmpFile(core.paths().tmpDir(), state, ImageKind::Colour);
    ASSERT_EQ(path, tmpFile(QStringLiteral("tmp.bmp")));

    const QByteArray bytes = fileBytes(path);
    ASSERT_EQ(bytes.size(), 658422);
    struct Field {
        const char* name;
        int offset, size;
        quint32 value;
    };
    const Field fields[] = {
        {"bfType", 0, 2, 19778},     {"bfSize", 2, 4, 658422},       {"bfReserved", 6, 4, 0},
        {"bfOffBits", 10, 4, 54},    {"biSize", 14, 4, 40},          {"biWidth", 18, 4, 508},
        {"biHeight", 22, 4, 432},    {"biPlanes", 26, 2, 1},         {"biBitCount", 28, 2, 24},
        {"biCompression", 30, 4, 0}, {"biSizeImage", 34, 4, 658368}, {"biXPels", 38, 4, 100},
        {"biYPels", 42, 4, 100},     {"biClrUsed", 46, 4, 0},        {"biClrImportant", 50, 4, 0},
    };
    for (const Field& f : fields)
        EXPECT_EQ(numberAt(bytes, f.offset, f.size), f.value) << f.name;
    const auto header = state.BitmapHeader.toBytes();
    EXPECT_EQ(bytes.left(54), QByteArray(reinterpret_cast<const char*>(header.data()), 54));
    EXPECT_EQ(bytes.mid(54), QByteArray(reinterpret_cast<const char*>(state.BitmapPixels.data()),
                                        static_cast<qsizetype>(state.BitmapPixels.size())));
}

TEST_F(BitmapTest, greyFileCarriesAGreyPalette)
{
    convertedPicture(508, 216, ImageKind::Grey);
    const QByteArray bytes =
        fileBytes(fncWriteBmpFile(core.paths().tmpDir(), state, ImageKind::Grey));
    ASSERT_EQ(bytes.size(), 1078 + 109728);
    EXPECT_EQ(numberAt(bytes, 2, 4), 110806u);
    EXPECT_EQ(numberAt(bytes, 10, 4), 1078u);
    EXPECT_EQ(numberAt(bytes, 28, 2), 8u);
    EXPECT_EQ(numberAt(bytes, 34, 4), 109728u);
    EXPECT_EQ(numberAt(bytes, 46, 4), 256u);
    EXPECT_EQ(bytes.mid(54 + 4 * 200, 4), QByteArray("\xC8\xC8\xC8\x00", 4));
    EXPECT_EQ(bytes.mid(54 + 4 * 255, 4), QByteArray("\xFF\xFF\xFF\x00", 4));
    EXPECT_EQ(state.GreyPalette[200], (std::array<quint8, 4>{200, 200, 200, 0}));
}

TEST_F(BitmapTest, rowsArePaddedToFourBytes)
{
    struct Case {
        int width;
        ImageKind kind;
        int rowBytes, padded;
    };
    for (const Case& c : {Case{5, ImageKind::Colour, 15, 16}, Case{5, ImageKind::Grey, 5, 8},
                          Case{1, ImageKind::Colour, 3, 4}, Case{4, ImageKind::Colour, 12, 12}}) {
        convertedPicture(c.width, 3, c.kind);
        const QByteArray bytes = fileBytes(fncWriteBmpFile(core.paths().tmpDir(), state, c.kind));
        const int offset = c.kind == ImageKind::Grey ? 1078 : 54;
        ASSERT_EQ(bytes.size(), offset + 3 * c.padded) << c.width;
        EXPECT_EQ(numberAt(bytes, 34, 4), static_cast<quint32>(3 * c.padded));
        for (int r = 0; r < 3; ++r) {
            const QByteArray row = bytes.mid(offset + r * c.padded, c.padded);
            EXPECT_EQ(
                row.left(c.rowBytes),
                QByteArray(reinterpret_cast<const char*>(state.BitmapPixels.row(r)), c.rowBytes));
            EXPECT_EQ(row.mid(c.rowBytes), QByteArray(c.padded - c.rowBytes, '\0')) << c.width;
        }
    }
}

TEST_F(BitmapTest, greyAfterColourLeavesNoStaleTail)
{
    convertedPicture(508, 432, ImageKind::Colour);
    ASSERT_FALSE(fncWriteBmpFile(core.paths().tmpDir(), state, ImageKind::Colour).isEmpty());
    convertedPicture(508, 432, ImageKind::Grey);
    const QByteArray bytes =
        fileBytes(fncWriteBmpFile(core.paths().tmpDir(), state, ImageKind::Grey));
    EXPECT_EQ(bytes.size(), 220534);
    EXPECT_EQ(numberAt(bytes, 2, 4), 220534u);
}

TEST_F(BitmapTest, writerFailsQuietly)
{
    convertedPicture(8, 4, ImageKind::Colour);
    // A grey header over a colour picture, or a size the picture does not have.
    EXPECT_EQ(fncWriteBmpFile(core.paths().tmpDir(), state, ImageKind::Grey), QString());
    state.BitmapHeight = 5;
    EXPECT_EQ(fncWriteBmpFile(core.paths().tmpDir(), state, ImageKind::Colour), QString());
    state.BitmapHeight = 4;
    QDir(dir.paths().tmpDir()).removeRecursively();
    EXPECT_EQ(fncWriteBmpFile(core.paths().tmpDir(), state, ImageKind::Colour), QString());
    EXPECT_TRUE(prompter.boxes.isEmpty());
}

TEST_F(BitmapTest, importSamplesTheMosaicOfArrangement3)
{
    QByteArray pixels;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 12; ++c)
            pixels.append(static_cast<char>(40 * r + c));
    const QString path = dir.file(QStringLiteral("four.bmp"));
    writeBytes(path, bitmapFile(4, 4, 24, pixels));
    assignModelName(state.UploadImage, QStringLiteral("OLD"));
    state.UploadImage.Trailer = {7, 8};
    state.UploadImage.GainG = 40;

    ASSERT_TRUE(fncReadBmpFile(core, state, path));
    EXPECT_EQ(state.BitmapWidth, 4);
    EXPECT_EQ(state.BitmapHeight, 4);
    ASSERT_TRUE(fncBmpToMosaic(core, state));
    const SensorImage& mosaic = state.UploadImage;
    EXPECT_EQ(
        mosaic.Pixels,
        gridFromRows({{120, 124, 126, 130}, {81, 85, 87, 91}, {40, 44, 46, 50}, {1, 5, 7, 11}}));
    EXPECT_EQ(mosaic.BayerPhase, 3);
    EXPECT_EQ(mosaic.GainR + mosaic.GainG + mosaic.GainB, 0);
    EXPECT_EQ(mosaic.Width, 4);
    EXPECT_EQ(mosaic.Height, 4);
    EXPECT_EQ(mosaic.ModelName[0], 'O');
    EXPECT_EQ(mosaic.Trailer, (std::array<quint8, 2>{7, 8}));
    EXPECT_TRUE(prompter.boxes.isEmpty());
}

TEST_F(BitmapTest, pixelsStartWhereTheHeaderSays)
{
    // Larger information headers (124 bytes here) put the pixels at offset 138.
    QByteArray pixels;
    for (int i = 0; i < 3 * 4 * 2; ++i)
        pixels.append(static_cast<char>(i + 1));
    for (const quint32 offset : {54u, 138u, 0u}) {
        QByteArray file = bitmapFile(4, 2, 24, pixels, std::max(offset, 54u));
        file[10] = static_cast<char>(offset); // an offset inside the header means 54
        const QString path = dir.file(QStringLiteral("offset.bmp"));
        writeBytes(path, file);
        ASSERT_TRUE(fncReadBmpFile(core, state, path)) << offset;
        EXPECT_EQ(state.BitmapPixels.at(0, 0), 1) << offset;
        EXPECT_EQ(state.BitmapPixels.at(11, 1), 24) << offset;
    }
}

TEST_F(BitmapTest, unusableBitmapsFailWithACriticalBoxAndLeaveTheState)
{
    struct Case {
        const char* what;
        QByteArray bytes;
    };
    const Case cases[] = {
        {"width 0", bitmapFile(0, 4, 24, QByteArray(100, 1))},
        {"height 0", bitmapFile(4, 0, 24, QByteArray(100, 1))},
        {"rows top-down", bitmapFile(4, -4, 24, QByteArray(48, 1))},
        {"negative width", bitmapFile(-4, 4, 24, QByteArray(48, 1))},
        {"largest 16-bit size on a small file", bitmapFile(32767, 32767, 24, QByteArray(46, 1))},
        {"largest 32-bit size", bitmapFile(0x7FFFFFFF, 0x7FFFFFFF, 24, QByteArray(46, 1))},
        {"one byte short", bitmapFile(4, 4, 24, QByteArray(47, 1))},
        {"offset beyond the end", bitmapFile(4, 4, 24, QByteArray(48, 1), 200).left(60)},
        {"header cut short", bitmapFile(4, 4, 24, {}).left(53)},
    };
    for (const Case& c : cases) {
        state.BitmapWidth = 9;
        state.BitmapPixels = patternGrid(27, 2);
        const ByteGrid before = state.BitmapPixels;
        prompter.boxes.clear();
        const QString path = dir.file(QStringLiteral("broken.bmp"));
        writeBytes(path, c.bytes);

        EXPECT_FALSE(fncReadBmpFile(core, state, path)) << c.what;
        EXPECT_EQ(criticalBoxes(), 1) << c.what;
        EXPECT_EQ(prompter.boxes.size(), 1) << c.what;
        EXPECT_EQ(state.BitmapWidth, 9) << c.what;
        EXPECT_EQ(state.BitmapPixels, before) << c.what;
    }
    EXPECT_FALSE(fncReadBmpFile(core, state, dir.file(QStringLiteral("missing.bmp"))));
}

TEST_F(BitmapTest, brokenBitmapsAreToldByNameAndWhatIsWrongInTheWindowsLanguage)
{
    expectBrokenFilesTold(
        dir.file(QStringLiteral("broken.bmp")),
        {
            {"a text file", "notes\n", "is not a bitmap", "ビットマップではありません"},
            {"a bitmap's size without its signature", "xx" + bitmapFile(4, 4, 24, {}).mid(2),
             "is not a bitmap", "ビットマップではありません"},
            {"signature alone", "BM", "ends after 2 of 54 bytes",
             "54 バイトのうち 2 バイトしかありません"},
            {"header cut short", bitmapFile(4, 4, 24, {}).left(53), "ends after 53 of 54 bytes",
             "54 バイトのうち 53 バイトしかありません"},
            {"one byte short", bitmapFile(4, 4, 24, QByteArray(47, 1)),
             "ends after 101 of 102 bytes", "102 バイトのうち 101 バイトしかありません"},
            {"rows top-down", bitmapFile(4, -4, 24, QByteArray(48, 1)), "a top-down bitmap",
             "トップダウン形式"},
            {"width 0", bitmapFile(0, 4, 24, QByteArray(100, 1)), "image size of 0 x 4 pixels",
             "画像サイズ (0 × 4 ピクセル) が正しくない"},
        },
        [this](const QString& path) { return fncReadBmpFile(core, state, path); });
}

TEST_F(BitmapTest, onlyTheSensorsSizesAreAcceptedInColourAt24BitsOrInGreyAt8)
{
    struct Case {
        int width, height, bits;
        bool colour, grey;
    };
    const Case cases[] = {
        {508, 432, 24, true, false},  {508, 216, 24, true, false},  {508, 108, 24, true, false},
        {508, 200, 24, false, false}, {512, 432, 24, false, false}, {508, 54, 24, false, false},
        {508, 432, 8, false, true},   {508, 216, 8, false, true},   {508, 200, 8, false, false},
        {512, 432, 8, false, false},  {508, 432, 32, false, false},
    };
    for (const Case& c : cases) {
        const QString path = dir.file(QStringLiteral("check.bmp"));
        const qsizetype pixelBytes =
            c.bits == 24 ? 3 * c.width * c.height : 1024 + c.width * c.height;
        writeBytes(path, bitmapFile(c.width, c.height, c.bits, QByteArray(pixelBytes, '\x40')));
        ASSERT_TRUE(fncReadBmpFile(core, state, path))
            << c.width << "x" << c.height << "@" << c.bits;
        EXPECT_EQ(isSensorBitmap(state), c.colour) << c.width << "x" << c.height << "@" << c.bits;
        EXPECT_EQ(isGreySensorBitmap(state), c.grey) << c.width << "x" << c.height << "@" << c.bits;
    }
    EXPECT_TRUE(prompter.boxes.isEmpty());
}

TEST_F(BitmapTest, aBitmapWeWroteReadsBackUnchanged)
{
    // The grey one is 7 wide: its rows are padded in the file.
    for (const auto& [kind, width, height] :
         {std::tuple{ImageKind::Colour, 508, 108}, std::tuple{ImageKind::Grey, 7, 3}}) {
        convertedPicture(width, height, kind);
        const ByteGrid written = state.BitmapPixels;
        const QString path = fncWriteBmpFile(core.paths().tmpDir(), state, kind);
        state = ImageState{};
        ASSERT_TRUE(fncReadBmpFile(core, state, path)) << width;
        EXPECT_EQ(isSensorBitmap(state), kind == ImageKind::Colour);
        EXPECT_EQ(state.BitmapPixels, written) << width;
    }
}

TEST_F(BitmapTest, mosaicRefusesSizesBeyond16Bits)
{
    const QString path = dir.file(QStringLiteral("wide.bmp"));
    writeBytes(path, bitmapFile(40000, 1, 24, QByteArray(120000, 1)));
    ASSERT_TRUE(fncReadBmpFile(core, state, path));
    EXPECT_FALSE(fncBmpToMosaic(core, state));
    EXPECT_EQ(criticalBoxes(), 1);
    EXPECT_TRUE(state.UploadImage.Pixels.isEmpty());
}

} // namespace
