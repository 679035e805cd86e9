// Bitmaps against independent programs: what we write opens in Pillow and ImageMagick with the
// same pixels, and 24-bit bitmaps they write import as the sensor mosaic of their pixels.

#include "ImageTestSupport.h"
#include "ToolRunner.h"
#include "image/BitmapFile.h"
#include "image/PictureConversion.h"

#include <QFileInfo>

using namespace kel;
using namespace kel::test;

namespace {

const QString kPython = QStringLiteral("/usr/bin/python3");
// The distribution's ImageMagick, not whatever else is called convert on the path.
const QString kMagick = QStringLiteral("/usr/bin/convert");

// Prints the RGB or grey bytes of an image, rows from the top.
const char* const kPillowDump = "import sys\n"
                                "from PIL import Image\n"
                                "image = Image.open(sys.argv[1])\n"
                                "sys.stdout.buffer.write(image.convert(sys.argv[2]).tobytes())\n";
const char* const kPillowSave = "import sys\n"
                                "from PIL import Image\n"
                                "image = Image.open(sys.argv[1])\n"
                                "assert image.mode == 'RGB'\n"
                                "image.save(sys.argv[2], 'BMP')\n";

bool havePillow()
{
    return QFileInfo::exists(kPython) &&
           runTool(kPython, {QStringLiteral("-c"), QStringLiteral("import PIL")}).exitCode == 0;
}

bool haveMagick()
{
    return QFileInfo::exists(kMagick) &&
           runTool(kMagick, {QStringLiteral("-version")}).out.contains("ImageMagick");
}

// The picture of BitmapPixels as RGB (colour) or grey bytes, rows from the top.
QByteArray topDownBytes(const ImageState& state, ImageKind kind)
{
    QByteArray bytes;
    const ByteGrid& p = state.BitmapPixels;
    for (int r = p.rows() - 1; r >= 0; --r) {
        const quint8* row = p.row(r);
        if (kind == ImageKind::Grey) {
            bytes.append(reinterpret_cast<const char*>(row), p.columns());
            continue;
        }
        for (int x = 0; x < p.columns(); x += 3)
            bytes.append(static_cast<char>(row[x + 2]))
                .append(static_cast<char>(row[x + 1]))
                .append(static_cast<char>(row[x]));
    }
    return bytes;
}

// A binary PPM of width x height with pixels that differ in every channel.
QByteArray portablePixmap(int width, int height, const ByteGrid& rgb)
{
    QByteArray bytes = QStringLiteral("P6\n%1 %2\n255\n").arg(width).arg(height).toLatin1();
    bytes.append(reinterpret_cast<const char*>(rgb.data()), static_cast<qsizetype>(rgb.size()));
    return bytes;
}

class BitmapInteropTest : public ImageTest {
protected:
    // Writes the picture of a raw pattern as tmp.bmp and returns its expected bytes.
    QString writePicture(int width, int height, ImageKind kind, QByteArray& expected)
    {
        state.CurrentImage.Pixels =
            patternGrid(width, height, static_cast<unsigned>(width + height));
        state.CurrentImage.BayerPhase = 2;
        state.CurrentImage.GainR = 25;
        state.CurrentImage.GainB = 60;
        state.BitmapWidth = width;
        state.BitmapHeight = height;
        kind == ImageKind::Colour ? fncColorConvert(state) : fncMonoConvert(state);
        expected = topDownBytes(state, kind);
        return fncWriteBmpFile(core.paths().tmpDir(), state, kind);
    }

    // Imports path and checks that the mosaic samples rgb (rows from the top) at arrangement 3.
    void expectImport(const QString& path, int height, const ByteGrid& rgb, const char* writer)
    {
        ASSERT_TRUE(fncReadBmpFile(core, state, path)) << writer;
        ASSERT_TRUE(isSensorBitmap(state)) << writer << " " << height;
        ASSERT_TRUE(fncBmpToMosaic(core, state)) << writer;
        int mismatches = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < 508; ++x) {
                // Arrangement 3: blue at even column and row, red at odd column and row.
                const int channel = (x % 2 == 0 && y % 2 == 0)   ? 2
                                    : (x % 2 == 1 && y % 2 == 1) ? 0
                                                                 : 1;
                if (state.UploadImage.Pixels.at(x, y) != rgb.at(3 * x + channel, y) &&
                    ++mismatches < 4)
                    ADD_FAILURE() << writer << " " << height << " at " << x << "," << y;
            }
        EXPECT_EQ(prompter.boxes.size(), 0);
    }
};

TEST_F(BitmapInteropTest, pillowReadsOurPixels)
{
    if (!havePillow())
        GTEST_SKIP() << "python3 with PIL is not installed";
    struct Case {
        int width, height;
        ImageKind kind;
    };
    for (const Case& c : {Case{508, 432, ImageKind::Colour}, Case{508, 216, ImageKind::Grey},
                          Case{5, 3, ImageKind::Colour}, Case{7, 2, ImageKind::Grey}}) {
        QByteArray expected;
        const QString path = writePicture(c.width, c.height, c.kind, expected);
        const QString mode =
            c.kind == ImageKind::Colour ? QStringLiteral("RGB") : QStringLiteral("L");
        const ToolResult result =
            runTool(kPython, {QStringLiteral("-c"), QLatin1String(kPillowDump), path, mode});
        ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
        EXPECT_TRUE(result.out == expected) << c.width << "x" << c.height;
    }
}

TEST_F(BitmapInteropTest, imageMagickReadsOurPixels)
{
    if (!haveMagick())
        GTEST_SKIP() << "ImageMagick is not installed";
    struct Case {
        int width, height;
        ImageKind kind;
    };
    for (const Case& c : {Case{508, 432, ImageKind::Colour}, Case{508, 108, ImageKind::Grey},
                          Case{5, 3, ImageKind::Colour}, Case{7, 2, ImageKind::Grey}}) {
        QByteArray expected;
        const QString path = writePicture(c.width, c.height, c.kind, expected);
        const QString format =
            c.kind == ImageKind::Colour ? QStringLiteral("rgb:-") : QStringLiteral("gray:-");
        const ToolResult result =
            runTool(kMagick, {path, QStringLiteral("-depth"), QStringLiteral("8"), format});
        ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
        EXPECT_TRUE(result.out == expected) << c.width << "x" << c.height;
    }
}

TEST_F(BitmapInteropTest, theirTrueColourBitmapsImport)
{
    const bool pillow = havePillow();
    const bool magick = haveMagick();
    if (!pillow && !magick)
        GTEST_SKIP() << "neither Pillow nor ImageMagick is installed";
    for (const int height : {432, 216, 108}) {
        const ByteGrid rgb = patternGrid(3 * 508, height, static_cast<unsigned>(height));
        const QString source = dir.file(QStringLiteral("source.ppm"));
        writeBytes(source, portablePixmap(508, height, rgb));
        if (pillow) {
            const QString path = dir.file(QStringLiteral("pillow.bmp"));
            const ToolResult saved =
                runTool(kPython, {QStringLiteral("-c"), QLatin1String(kPillowSave), source, path});
            ASSERT_EQ(saved.exitCode, 0) << saved.err.toStdString();
            expectImport(path, height, rgb, "Pillow");
        }
        if (magick) {
            // The default output carries a version 5 header; BMP3 the classic one.
            const std::pair<const char*, const char*> outputs[] = {{"", "magick.bmp"},
                                                                   {"BMP3:", "magick3.bmp"}};
            for (const auto& [format, name] : outputs) {
                const QString path = dir.file(QLatin1String(name));
                const ToolResult saved =
                    runTool(kMagick, {source, QStringLiteral("-type"), QStringLiteral("TrueColor"),
                                      QLatin1String(format) + path});
                ASSERT_EQ(saved.exitCode, 0) << saved.err.toStdString();
                expectImport(path, height, rgb, name);
            }
        }
    }
}

} // namespace
