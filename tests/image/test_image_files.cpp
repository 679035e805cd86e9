// Sensor image files, raw image files and upload files: layouts, round trips, and what broken
// or short files do.

#include "ImageTestSupport.h"
#include "image/ImageFiles.h"

#include <QBuffer>
#include <QDir>
#include <csignal>
#ifdef Q_OS_UNIX
#include <sys/resource.h>
#endif

using namespace kel;
using namespace kel::test;

namespace {

SensorImage sampleImage(int width, int height)
{
    SensorImage image;
    assignModelName(image, kSensorModelName);
    image.BayerPhase = 2;
    image.GainR = 10;
    image.GainG = 20;
    image.GainB = 130;
    image.Width = static_cast<qint16>(width);
    image.Height = static_cast<qint16>(height);
    image.Pixels = patternGrid(width, height);
    image.Trailer = {0xAB, 0xCD};
    return image;
}

QByteArray kelHeader(qint16 width, qint16 height)
{
    QByteArray header("KEL-CA  \x03\x00\x00\x00", 12);
    header.append(static_cast<char>(width & 0xFF)).append(static_cast<char>(width >> 8 & 0xFF));
    header.append(static_cast<char>(height & 0xFF)).append(static_cast<char>(height >> 8 & 0xFF));
    return header;
}

using SensorImageFileTest = ImageTest;

TEST_F(SensorImageFileTest, fullImageFileHasHeaderPixelsAndTrailerInPlace)
{
    state.CurrentImage = sampleImage(508, 432);
    const QString path = dir.file(QStringLiteral("full.KEL"));
    ASSERT_TRUE(fncWriteFile_KEL(core, state, path));

    const QByteArray bytes = fileBytes(path);
    ASSERT_EQ(bytes.size(), 219474);
    EXPECT_EQ(bytes.left(8), QByteArray("KEL-CA  "));
    EXPECT_EQ(bytes.mid(8, 4), QByteArray("\x02\x0A\x14\x82", 4));
    EXPECT_EQ(numberAt(bytes, 12, 2), 508u);
    EXPECT_EQ(numberAt(bytes, 14, 2), 432u);
    EXPECT_EQ(static_cast<quint8>(bytes.at(16 + 508 + 3)), state.CurrentImage.Pixels.at(3, 1));
    EXPECT_EQ(bytes.right(2), QByteArray("\xAB\xCD"));
    EXPECT_TRUE(prompter.boxes.isEmpty());
}

TEST_F(SensorImageFileTest, writeThenReadReproducesEveryField)
{
    const std::pair<int, int> sizes[] = {{508, 432}, {5, 3}, {1, 1}};
    for (const auto& [width, height] : sizes) {
        const SensorImage written = sampleImage(width, height);
        state.CurrentImage = written;
        const QString path = dir.file(QStringLiteral("round.KEL"));
        ASSERT_TRUE(fncWriteFile_KEL(core, state, path));

        state = ImageState{};
        ASSERT_TRUE(fncReadFile_KEL(core, state, path));
        EXPECT_EQ(state.CurrentImage, written) << width << "x" << height;
        EXPECT_EQ(state.BitmapWidth, width);
        EXPECT_EQ(state.BitmapHeight, height);
    }
}

TEST_F(SensorImageFileTest, savingOverALongerFileLeavesNothingOfIt)
{
    const QString path = dir.file(QStringLiteral("over.KEL"));
    writeBytes(path, QByteArray(5000, '\x77'));
    state.CurrentImage = sampleImage(4, 2);
    ASSERT_TRUE(fncWriteFile_KEL(core, state, path));
    EXPECT_EQ(fileBytes(path).size(), 16 + 8 + 2);
}

#ifdef Q_OS_UNIX
// A disk that fills up in the middle of the write, made by a file size limit.
TEST_F(SensorImageFileTest, aSaveThatCannotBeCompletedLeavesTheOldFile)
{
    const QString path = dir.file(QStringLiteral("kept.KEL"));
    const QByteArray old(300, '\x55');
    writeBytes(path, old);
    state.CurrentImage = sampleImage(508, 4);

    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 1000;
    setrlimit(RLIMIT_FSIZE, &small);
    const bool written = fncWriteFile_KEL(core, state, path);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(written);
    EXPECT_EQ(criticalBoxes(), 1);
    EXPECT_EQ(fileBytes(path), old);
    EXPECT_EQ(QDir(dir.path()).entryList({QStringLiteral("kept*")}, QDir::Files),
              QStringList{"kept.KEL"})
        << "no temporary file is left";
}
#endif

TEST_F(SensorImageFileTest, fileFollowsItsHeaderWhenThePixelsHaveUploadRows)
{
    // After an upload file was written the pixels have 480 rows; the file still holds exactly
    // the header's rows, with the trailer right after them.
    state.CurrentImage = sampleImage(6, 4);
    const ByteGrid original = state.CurrentImage.Pixels;
    ASSERT_TRUE(fncMakeTmpBinFile(core, state, tmpFile(QStringLiteral("tmp.bin"))));
    ASSERT_EQ(state.CurrentImage.Pixels.rows(), 480);

    const QString path = dir.file(QStringLiteral("after-upload.KEL"));
    ASSERT_TRUE(fncWriteFile_KEL(core, state, path));
    const QByteArray bytes = fileBytes(path);
    ASSERT_EQ(bytes.size(), 16 + 24 + 2);
    EXPECT_EQ(bytes.mid(16, 24), QByteArray(reinterpret_cast<const char*>(original.data()), 24));
    EXPECT_EQ(bytes.right(2), QByteArray("\xAB\xCD"));
}

TEST_F(SensorImageFileTest, unusableFilesFailWithACriticalBoxAndLeaveTheImage)
{
    struct Case {
        const char* what;
        QByteArray bytes;
    };
    const Case cases[] = {
        {"width 0", kelHeader(0, 4) + QByteArray(100, 1)},
        {"height 0", kelHeader(4, 0) + QByteArray(100, 1)},
        {"negative width", kelHeader(-4, 4) + QByteArray(100, 1)},
        {"negative height", kelHeader(4, -1) + QByteArray(100, 1)},
        {"largest size on a small file", kelHeader(32767, 32767) + QByteArray(84, 1)},
        {"one pixel short", kelHeader(5, 3) + QByteArray(14, 1)},
        {"header cut short", kelHeader(5, 3).left(10)},
        {"empty file", QByteArray()},
    };
    for (const Case& c : cases) {
        state.CurrentImage = sampleImage(3, 2);
        state.BitmapWidth = 3;
        const ImageState before = state;
        prompter.boxes.clear();
        const QString path = dir.file(QStringLiteral("broken.KEL"));
        writeBytes(path, c.bytes);

        EXPECT_FALSE(fncReadFile_KEL(core, state, path)) << c.what;
        ASSERT_EQ(prompter.boxes.size(), 1) << c.what;
        EXPECT_EQ(prompter.boxes[0].style, 16) << c.what;
        EXPECT_EQ(prompter.boxes[0].title, kAppTitle);
        EXPECT_TRUE(prompter.boxes[0].text.contains(path)) << c.what;
        EXPECT_EQ(state.CurrentImage, before.CurrentImage) << c.what;
        EXPECT_EQ(state.BitmapWidth, 3) << c.what;
    }
}

TEST_F(SensorImageFileTest, brokenFilesAreToldByNameAndWhatIsWrongInTheWindowsLanguage)
{
    expectBrokenFilesTold(
        dir.file(QStringLiteral("broken.KEL")),
        {
            {"header cut short", kelHeader(5, 3).left(10), "ends after 10 of 16 bytes",
             "16 バイトのうち 10 バイトしかありません"},
            {"pixels cut short", kelHeader(508, 432) + QByteArray(84, 1),
             "ends after 100 of 219,472 bytes", "219,472 バイトのうち 100 バイトしかありません"},
            {"width 0", kelHeader(0, 4) + QByteArray(100, 1), "image size of 0 x 4 pixels",
             "画像サイズ (0 × 4 ピクセル) が正しくない"},
            {"negative height", kelHeader(4, -1) + QByteArray(100, 1),
             "image size of 4 x -1 pixels", "画像サイズ (4 × -1 ピクセル) が正しくない"},
        },
        [this](const QString& path) { return fncReadFile_KEL(core, state, path); });
}

TEST_F(SensorImageFileTest, missingTrailerReadsAsZeroAndExtraBytesAreIgnored)
{
    const QByteArray pixels("\x01\x02\x03\x04\x05\x06", 6);
    struct Case {
        QByteArray tail;
        std::array<quint8, 2> trailer;
    };
    for (const Case& c :
         {Case{"", {0, 0}}, Case{"\x09", {9, 0}}, Case{"\x09\x08\x07\x06", {9, 8}}}) {
        QBuffer buffer;
        buffer.setData(kelHeader(3, 2) + pixels + c.tail);
        buffer.open(QIODevice::ReadOnly);
        FileProblem problem;
        ASSERT_TRUE(readKelImage(buffer, state, problem));
        EXPECT_EQ(state.CurrentImage.Pixels, gridFromRows({{1, 2, 3}, {4, 5, 6}}));
        EXPECT_EQ(state.CurrentImage.Trailer, c.trailer);
    }
}

TEST_F(SensorImageFileTest, writerRefusesAnImageWithoutSize)
{
    state.CurrentImage = sampleImage(4, 2);
    state.CurrentImage.Height = 0;
    const QString path = dir.file(QStringLiteral("empty.KEL"));
    EXPECT_FALSE(fncWriteFile_KEL(core, state, path));
    EXPECT_EQ(criticalBoxes(), 1);
    EXPECT_FALSE(QFile::exists(path));

    state.CurrentImage.Height = 2;
    EXPECT_FALSE(fncWriteFile_KEL(core, state, dir.file(QStringLiteral("no/such/folder.KEL"))));
    EXPECT_EQ(criticalBoxes(), 2);
}

using RawImageFileTest = ImageTest;

TEST_F(RawImageFileTest, readsTheSizeTheHeaderFieldsGive)
{
    struct Case {
        const char* what;
        int fileBytes;
        bool ok;
        std::array<quint8, 2> trailer;
    };
    const Case cases[] = {
        {"pixels and trailer", 6 + 2, true, {0x60, 0x61}},
        {"transfer padding after the trailer", 6 + 128, true, {0x60, 0x61}},
        {"no trailer", 6, true, {0, 0}},
        {"one pixel short", 5, false, {}},
        {"empty", 0, false, {}},
    };
    for (const Case& c : cases) {
        QByteArray bytes;
        for (int i = 0; i < c.fileBytes; ++i)
            bytes.append(static_cast<char>(i < 6 ? i + 1 : 0x5A + i));
        const QString path = tmpFile(QStringLiteral("tmp.bin"));
        writeBytes(path, bytes);
        state = ImageState{};
        state.CurrentImage.Width = 3;
        state.CurrentImage.Height = 2;

        ASSERT_EQ(fncReadTmpBinFile(state, path), c.ok) << c.what;
        if (c.ok) {
            EXPECT_EQ(state.CurrentImage.Pixels, gridFromRows({{1, 2, 3}, {4, 5, 6}})) << c.what;
            EXPECT_EQ(state.CurrentImage.Trailer, c.trailer) << c.what;
            EXPECT_EQ(state.BitmapWidth, 3);
            EXPECT_EQ(state.BitmapHeight, 2);
        } else {
            EXPECT_TRUE(state.CurrentImage.Pixels.isEmpty()) << c.what;
        }
    }
    EXPECT_TRUE(prompter.boxes.isEmpty());
}

TEST_F(RawImageFileTest, sizeFieldsWithoutAnExtentFailSilently)
{
    const QString path = tmpFile(QStringLiteral("tmp.bin"));
    writeBytes(path, QByteArray(100, 1));
    const std::pair<int, int> sizes[] = {{0, 2}, {3, 0}, {-3, 2}, {32767, 32767}};
    for (const auto& [width, height] : sizes) {
        state.CurrentImage.Width = static_cast<qint16>(width);
        state.CurrentImage.Height = static_cast<qint16>(height);
        EXPECT_FALSE(fncReadTmpBinFile(state, path)) << width << "x" << height;
    }
    EXPECT_FALSE(fncReadTmpBinFile(state, tmpFile(QStringLiteral("missing.bin"))));
    EXPECT_TRUE(prompter.boxes.isEmpty());
}

using UploadFileTest = ImageTest;

TEST_F(UploadFileTest, alwaysHas480RowsOfTheImageWidth)
{
    for (const int height : {216, 480, 600}) {
        state.CurrentImage = sampleImage(508, height);
        const ByteGrid original = state.CurrentImage.Pixels;
        const QString path = tmpFile(QStringLiteral("tmp_2.bin"));
        ASSERT_TRUE(fncMakeTmpBinFile(core, state, path)) << height;

        const QByteArray bytes = fileBytes(path);
        ASSERT_EQ(bytes.size(), 508 * 480) << height;
        const int kept = std::min(height, 480);
        EXPECT_EQ(bytes.left(508 * kept),
                  QByteArray(reinterpret_cast<const char*>(original.data()), 508 * kept));
        EXPECT_EQ(bytes.mid(508 * kept), QByteArray(508 * (480 - kept), '\0')) << height;
        EXPECT_EQ(state.CurrentImage.Pixels.rows(), 480);
        EXPECT_EQ(state.CurrentImage.Height, height);
    }
    EXPECT_TRUE(prompter.boxes.isEmpty());
}

TEST_F(UploadFileTest, widthThatDoesNotMatchThePixelsFailsAndLeavesNoFile)
{
    const QString path = tmpFile(QStringLiteral("tmp_2.bin"));
    for (const int width : {507, 0, -1}) {
        writeBytes(path, QByteArray("old upload file"));
        state.CurrentImage = sampleImage(508, 216);
        state.CurrentImage.Width = static_cast<qint16>(width);
        prompter.boxes.clear();
        EXPECT_FALSE(fncMakeTmpBinFile(core, state, path)) << width;
        EXPECT_EQ(criticalBoxes(), 1) << width;
        EXPECT_FALSE(QFile::exists(path)) << width;
    }
}

TEST_F(UploadFileTest, rawReadOfAnUploadFileTakesZeroRowsForTheTrailer)
{
    // The upload file has no trailer: read back as a raw image file, the two bytes after the
    // pixels belong to the zero rows. Opening a sensor image file, which converts its upload
    // file, therefore keeps the trailer it read itself.
    const QString kel = dir.file(QStringLiteral("in.KEL"));
    state.CurrentImage = sampleImage(508, 216);
    ASSERT_TRUE(fncWriteFile_KEL(core, state, kel));
    state = ImageState{};

    const QString tmpBin = tmpFile(QStringLiteral("tmp.bin"));
    ASSERT_TRUE(fncReadFile_KEL(core, state, kel));
    ASSERT_TRUE(fncMakeTmpBinFile(core, state, tmpBin));
    ASSERT_TRUE(fncReadTmpBinFile(state, tmpBin));
    EXPECT_EQ(state.CurrentImage.Pixels, sampleImage(508, 216).Pixels);
    EXPECT_EQ(state.CurrentImage.Trailer, (std::array<quint8, 2>{0, 0}));
}

} // namespace
