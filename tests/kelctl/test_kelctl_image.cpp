// kelctl convert and import, run as a user runs them, against the library's own results.

#include "core/WorkFolders.h"
#include "image/BitmapFile.h"
#include "image/ConvertProcess.h"
#include "image/ImageFiles.h"
#include "image/ImageTestSupport.h"
#include "image/PictureConversion.h"
#include "image/ToolRunner.h"

using namespace kel;
using namespace kel::test;

namespace {

// Exit statuses of kelctl.
constexpr int kOk = 0;
constexpr int kFailure = 1;
constexpr int kUsage = 2;
constexpr int kFileError = 11;

class KelctlImageTest : public ImageTest {
protected:
    ToolResult kelctl(const QStringList& args)
    {
        return runTool(QStringLiteral(KEL_APP_BIN_DIR "/kelctl"), args);
    }

    // A sensor image file of the given size, written by the library.
    QString sensorFile(const QString& name, int height)
    {
        state.CurrentImage = SensorImage{};
        assignModelName(state.CurrentImage, kSensorModelName);
        state.CurrentImage.BayerPhase = 1;
        state.CurrentImage.GainR = 40;
        state.CurrentImage.GainG = 5;
        state.CurrentImage.GainB = 90;
        state.CurrentImage.Width = 508;
        state.CurrentImage.Height = static_cast<qint16>(height);
        state.CurrentImage.Pixels = patternGrid(508, height, static_cast<unsigned>(height));
        const QString path = dir.file(name);
        EXPECT_TRUE(fncWriteFile_KEL(core, state, path));
        return path;
    }

    // What the program shows after opening that file: read, upload file, conversion.
    QByteArray programBitmap(const QString& kel, ImageKind kind)
    {
        ImageState opened;
        EXPECT_TRUE(fncReadFile_KEL(core, opened, kel));
        EXPECT_TRUE(fncMakeTmpBinFile(core, opened, tmpFile(kTmpBin)));
        return fileBytes(fncConvertProcess(core, opened, kind, dir.paths().tmpDir(), kTmpBin));
    }

    QString out(const QString& name) const { return dir.file(name); }
};

TEST_F(KelctlImageTest, helpAndBadArguments)
{
    struct Case {
        QStringList args;
        int status;
    };
    const Case cases[] = {
        {{"convert", "--help"}, kOk},
        {{"import", "-h"}, kOk},
        {{"convert"}, kUsage},
        {{"convert", "a.KEL"}, kUsage},
        {{"convert", "a.KEL", "b.bmp", "c"}, kUsage},
        {{"convert", "a.KEL", "b.bmp", "--gray"}, kUsage},
        {{"import", "a.bmp", "b.KEL", "--grey"}, kUsage},
        {{"stats", "--help"}, kOk},
        {{"compare", "-h"}, kOk},
        {{"stats"}, kUsage},
        {{"stats", "a.KEL", "--roi", "1,2,3"}, kUsage},
        {{"stats", "a.KEL", "--roi", "0,0,0,5"}, kUsage},
        {{"compare", "a.KEL"}, kUsage},
        {{"compare", "a.KEL", "b.bmp", "--threshold", "256"}, kUsage},
        {{"compare", "a.KEL", "b.bmp", "--max-share", "many"}, kUsage},
    };
    for (const Case& c : cases) {
        const ToolResult result = kelctl(c.args);
        EXPECT_EQ(result.exitCode, c.status) << c.args.join(' ').toStdString();
        const QByteArray& usage = c.status == kOk ? result.out : result.err;
        EXPECT_TRUE(usage.contains("usage: kelctl " + c.args.first().toLatin1()))
            << c.args.join(' ').toStdString();
    }
}

TEST_F(KelctlImageTest, convertGivesTheProgramsBitmap)
{
    for (const int height : {432, 108}) {
        const QString kel = sensorFile(QStringLiteral("in.KEL"), height);
        const QString colour = out(QStringLiteral("colour.bmp"));
        const QString grey = out(QStringLiteral("grey.bmp"));
        ASSERT_EQ(kelctl({"convert", kel, colour}).exitCode, kOk);
        ASSERT_EQ(kelctl({"convert", "--grey", kel, grey}).exitCode, kOk);

        const QByteArray expectedColour = programBitmap(kel, ImageKind::Colour);
        ASSERT_EQ(expectedColour.size(), 54 + 3 * 508 * height);
        EXPECT_EQ(fileBytes(colour), expectedColour) << height;
        EXPECT_EQ(fileBytes(grey), programBitmap(kel, ImageKind::Grey)) << height;
    }
}

TEST_F(KelctlImageTest, convertReplacesTheWholeOutputFile)
{
    const QString kel = sensorFile(QStringLiteral("in.KEL"), 108);
    const QString bitmap = out(QStringLiteral("out.bmp"));
    writeBytes(bitmap, QByteArray(700000, 'x'));
    ASSERT_EQ(kelctl({"convert", kel, bitmap, "--grey"}).exitCode, kOk);
    EXPECT_EQ(fileBytes(bitmap).size(), 1078 + 508 * 108);
}

TEST_F(KelctlImageTest, convertFailuresNeverExitZero)
{
    const QString bitmap = out(QStringLiteral("out.bmp"));
    writeBytes(out(QStringLiteral("zero.KEL")), QByteArray(16, '\0') + QByteArray(100, 1));
    // Taller than the upload file: its rows beyond 480 are gone and the conversion fails.
    const QString tall = sensorFile(QStringLiteral("tall.KEL"), 600);
    struct Case {
        QString input, output;
        int status;
    };
    const Case cases[] = {
        {out(QStringLiteral("missing.KEL")), bitmap, kFileError},
        {out(QStringLiteral("zero.KEL")), bitmap, kFileError},
        {tall, bitmap, kFailure},
        {sensorFile(QStringLiteral("ok.KEL"), 108), out(QStringLiteral("no/such/dir.bmp")),
         kFileError},
    };
    for (const Case& c : cases) {
        const ToolResult result = kelctl({"convert", c.input, c.output});
        EXPECT_EQ(result.exitCode, c.status) << c.input.toStdString();
        EXPECT_FALSE(result.err.isEmpty()) << c.input.toStdString();
        EXPECT_FALSE(QFile::exists(c.output)) << c.input.toStdString();
    }
}

// What went wrong is told in the language of the settings, and a text file is no bitmap cut
// short.
TEST_F(KelctlImageTest, failuresAreToldInTheSettingsLanguage)
{
    const QString good = sensorFile(QStringLiteral("good.KEL"), 108);
    const QString broken = out(QStringLiteral("zero.KEL"));
    writeBytes(broken, QByteArray(16, '\0') + QByteArray(100, 1));
    const QString notes = out(QStringLiteral("notes.txt"));
    writeBytes(notes, "notes\n");
    const QString settings = out(QStringLiteral("Setting.ini"));
    struct Case {
        const char* language;
        const char* oneFile;
        const char* count;
        const char* notBitmap;
    };
    for (const Case& c :
         {Case{"English", ": not converted", "1 of 2 files not converted", "is not a bitmap"},
          Case{"Japanese", ": 変換できませんでした",
               "2 個のファイルのうち 1 個を変換できませんでした", "ビットマップではありません"}}) {
        // kelctl writes in the system's 8-bit encoding, as a console shows it: a system
        // whose encoding has no Japanese (Wine's default) cannot show these texts.
        const QString sample = QString::fromUtf8(c.notBitmap);
        if (QString::fromLocal8Bit(sample.toLocal8Bit()) != sample)
            continue;
        writeBytes(settings, QByteArray("[OPERATION]\r\nLanguage=") + c.language + "\r\n");
        const ToolResult batch = kelctl({"--settings", settings, "convert", "--out",
                                         out(QStringLiteral("bitmaps")), good, broken});
        EXPECT_EQ(batch.exitCode, kFileError) << c.language;
        const QString told = QString::fromLocal8Bit(batch.err);
        EXPECT_TRUE(told.contains(broken + QString::fromUtf8(c.oneFile))) << told.toStdString();
        EXPECT_TRUE(told.contains(QString::fromUtf8(c.count))) << told.toStdString();

        const ToolResult upload = kelctl({"--settings", settings, "upload", notes});
        EXPECT_EQ(upload.exitCode, kFileError) << c.language;
        EXPECT_TRUE(QString::fromLocal8Bit(upload.err).contains(QString::fromUtf8(c.notBitmap)))
            << upload.err.toStdString();
    }
}

TEST_F(KelctlImageTest, importTurnsASensorSizedBitmapIntoASensorFile)
{
    state.CurrentImage.Pixels = patternGrid(508, 216);
    state.BitmapWidth = 508;
    state.BitmapHeight = 216;
    fncColorConvert(state);
    const QString picture = fncWriteBmpFile(core.paths().tmpDir(), state, ImageKind::Colour);
    const QString kel = out(QStringLiteral("imported.KEL"));
    writeBytes(kel, QByteArray(300000, 'x'));
    ASSERT_EQ(kelctl({"import", picture, kel}).exitCode, kOk);

    ImageState expected;
    ASSERT_TRUE(fncReadBmpFile(core, expected, picture));
    ASSERT_TRUE(fncBmpToMosaic(core, expected));
    const QByteArray bytes = fileBytes(kel);
    ASSERT_EQ(bytes.size(), 16 + 508 * 216 + 2);
    EXPECT_EQ(bytes.mid(8, 8), QByteArray("\x03\x00\x00\x00\xFC\x01\xD8\x00", 8));
    EXPECT_EQ(
        bytes.mid(16, 508 * 216),
        QByteArray(reinterpret_cast<const char*>(expected.UploadImage.Pixels.data()), 508 * 216));
}

TEST_F(KelctlImageTest, importRefusesOtherBitmaps)
{
    struct Case {
        const char* what;
        int width, height;
        ImageKind kind;
        int status;
    };
    const Case cases[] = {
        {"wrong height", 508, 200, ImageKind::Colour, kUsage},
        {"wrong width", 512, 432, ImageKind::Colour, kUsage},
        {"8 bits", 508, 432, ImageKind::Grey, kUsage},
    };
    for (const Case& c : cases) {
        state.CurrentImage.Pixels = patternGrid(c.width, c.height);
        state.BitmapWidth = c.width;
        state.BitmapHeight = c.height;
        c.kind == ImageKind::Colour ? fncColorConvert(state) : fncMonoConvert(state);
        const QString picture = fncWriteBmpFile(core.paths().tmpDir(), state, c.kind);
        const QString kel = out(QStringLiteral("refused.KEL"));
        const ToolResult result = kelctl({"import", picture, kel});
        EXPECT_EQ(result.exitCode, c.status) << c.what;
        EXPECT_TRUE(QString::fromLocal8Bit(result.err).contains(picture)) << c.what;
        EXPECT_FALSE(QFile::exists(kel)) << c.what;
    }
    writeBytes(out(QStringLiteral("short.bmp")), QByteArray("BM too short"));
    EXPECT_EQ(
        kelctl({"import", out(QStringLiteral("short.bmp")), out(QStringLiteral("x.KEL"))}).exitCode,
        kFileError);
}

} // namespace
