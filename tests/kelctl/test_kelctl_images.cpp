// kelctl info, fetch, upload and convert against the simulated sensor.

#include "KelctlTestSupport.h"
#include "SensorImages.h"

#include "core/AppCore.h"
#include "core/ProfileFile.h"
#include "image/BitmapFile.h"
#include "image/Gains.h"
#include "image/ImageFiles.h"
#include "image/ImageState.h"
#include "support/KelsimFixture.h"
#include "support/ScriptedPrompter.h"
#include "support/TempAppDir.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

using namespace kel;
using namespace kel::test;

namespace {

QByteArray kelHeader(quint8 phase, std::array<quint8, 3> gains, int height)
{
    QByteArray header("KEL-CA  ");
    header += char(phase);
    for (quint8 gain : gains)
        header += char(gain);
    header += char(kSensorWidth & 0xFF);
    header += char(kSensorWidth >> 8);
    header += char(height & 0xFF);
    header += char(height >> 8);
    return header;
}

TEST(KelctlInfo, printsTheSensorsFiveValuesAsATableOrAsJson)
{
    KelsimProcess sim({.arguments = {"--phase", "2", "--gains", "11,22,33", "--size-code", "1",
                                     "--reply", "IMGINFO 0 1=007"}});
    ASSERT_TRUE(sim.ready()) << sim.error().toStdString();
    const KelctlResult table = sim.kelctl({"info"});
    ASSERT_EQ(table.status, 0) << describe(table);
    EXPECT_EQ(table.out, "arrangement  2\ngain red     7\ngain green   22\ngain blue    33\n"
                         "size code    1\nwidth        508\nheight       216\n");

    const KelctlResult json = sim.kelctl({"info", "--json"});
    ASSERT_EQ(json.status, 0) << describe(json);
    const QJsonObject object = QJsonDocument::fromJson(json.out).object();
    EXPECT_EQ(object.value("arrangement").toInt(), 2);
    EXPECT_EQ(object.value("gainRed").toInt(), 7);
    EXPECT_EQ(object.value("gainBlue").toInt(), 33);
    EXPECT_EQ(object.value("height").toInt(), 216);
}

TEST(KelctlInfo, erSilenceAndAMissingPortEachHaveTheirStatus)
{
    KelsimProcess sim({.arguments = {"--reply-er", "IMGINFO 0 3"}});
    ASSERT_TRUE(sim.ready()) << sim.error().toStdString();
    const KelctlResult refused = sim.kelctl({"info"});
    EXPECT_EQ(refused.status, kStatusEr) << describe(refused);
    EXPECT_TRUE(refused.out.isEmpty());

    KelsimProcess silent({.arguments = {"--no-reply", "IMGINFO 0 4"}});
    ASSERT_TRUE(silent.ready()) << silent.error().toStdString();
    const KelctlResult quiet = silent.kelctl({"info"});
    EXPECT_EQ(quiet.status, kStatusNoReply) << describe(quiet);

    const KelctlResult missing = sim.kelctl({"--device", sim.file("no-such-device"), "info"});
    EXPECT_EQ(missing.status, kStatusPort) << describe(missing);
}

// A device path relative to where kelctl runs (kelctl runs in the kelsim's folder), whether on
// the command line or as "Device" beside the settings file.
TEST(KelctlInfo, aRelativeDeviceIsTakenFromTheCurrentFolderOrTheSettingsFolder)
{
    KelsimProcess sim;
    ASSERT_TRUE(sim.ready()) << sim.error().toStdString();
    ASSERT_TRUE(QDir(sim.folder()).mkdir(QStringLiteral("s1")));
    ASSERT_TRUE(QFile::link(sim.device(), sim.file(QStringLiteral("s1/dev"))));
    const KelctlResult given = sim.kelctl({"--device", "s1/dev", "info"});
    EXPECT_EQ(given.status, 0) << describe(given);

    ASSERT_TRUE(QDir(sim.folder()).mkdir(QStringLiteral("conf")));
    const QString settings = sim.writeSettings(sim.file(QStringLiteral("conf/Setting.ini")));
    ASSERT_TRUE(profile::writeString(settings, QStringLiteral("COM"), QStringLiteral("Device"),
                                     QStringLiteral("../s1/dev"))
                    .ok);
    const KelctlResult set = sim.kelctl({"--settings", settings, "info"});
    EXPECT_EQ(set.status, 0) << describe(set);
}

class KelctlFetch : public KelsimTest {};

TEST_F(KelctlFetch, writesTheSensorImageFileAndTheBitmapTheWindowWouldSave)
{
    const KelctlResult run = sim->kelctl({"fetch", "--kel", "a.KEL", "--bmp", "a.bmp"});
    ASSERT_EQ(run.status, 0) << describe(run);
    const sim::SensorImages images(sim::ImageInfo{});
    EXPECT_EQ(readBytes(sim->file("a.KEL")),
              kelHeader(0, {40, 0, 25}, kSensorFullHeight) + images.colourFile());

    // The bitmap is what converting that file gives.
    const KelctlResult converted = sim->kelctl({"convert", "a.KEL", "again.bmp"});
    ASSERT_EQ(converted.status, 0) << describe(converted);
    const QByteArray bitmap = readBytes(sim->file("a.bmp"));
    EXPECT_EQ(bitmap.size(), 54 + kSensorWidth * kSensorFullHeight * 3);
    EXPECT_EQ(bitmap, readBytes(sim->file("again.bmp")));
    EXPECT_EQ(timesSent(sim->log(), "IMGSAVE 0"), 1);
}

TEST_F(KelctlFetch, aGreyFetchGivesTheSensorsGreyPictureAsAnEightBitBitmap)
{
    const KelctlResult run = sim->kelctl({"fetch", "--grey", "g.BMP"});
    ASSERT_EQ(run.status, 0) << describe(run);
    const QByteArray bitmap = readBytes(sim->file("g.BMP"));
    const qsizetype pixelsAt = 54 + 256 * 4;
    ASSERT_EQ(bitmap.size(), pixelsAt + kSensorWidth * kSensorFullHeight);
    EXPECT_EQ(bitmap[28], 8); // bits per pixel
    // Bottom row first; 508 is a multiple of four, so rows carry no padding.
    const QByteArray grey = sim::SensorImages(sim::ImageInfo{}).greyFile();
    EXPECT_EQ(bitmap.mid(pixelsAt, kSensorWidth),
              grey.mid((kSensorFullHeight - 1) * kSensorWidth, kSensorWidth));
    EXPECT_EQ(timesSent(sim->log(), "IMGSAVE 1"), 1);
}

TEST_F(KelctlFetch, badRequestsSendNothing)
{
    for (const QStringList& args :
         {QStringList{"fetch", "--grey", "g.KEL"}, QStringList{"fetch", "picture.png"},
          QStringList{"fetch"}, QStringList{"fetch", "a.KEL", "b.kel"}}) {
        const KelctlResult run = sim->kelctl(args);
        EXPECT_EQ(run.status, kStatusUsage) << args.join(' ').toStdString() << describe(run);
    }
    EXPECT_FALSE(sim->log().contains("IMGINFO"));
}

TEST(KelctlFetchReplies, aSizeCodeThatNamesNoSizeStopsBeforeTheTransfer)
{
    KelsimProcess sim({.arguments = {"--reply", "IMGINFO 0 4=5"}});
    ASSERT_TRUE(sim.ready()) << sim.error().toStdString();
    const KelctlResult run = sim.kelctl({"fetch", "a.KEL"});
    EXPECT_EQ(run.status, kStatusUnexpectedReply) << describe(run);
    EXPECT_EQ(timesSent(sim.log(), "IMGSAVE 0"), 0);
    EXPECT_FALSE(QFile::exists(sim.file("a.KEL")));
}

// The sensor says 432 rows and sends 216: the received file is told as cut short, with its size.
TEST(KelctlFetchReplies, aShortImageStreamIsAShortTransferNamingTheFileAndItsSize)
{
    KelsimProcess sim({.arguments = {"--size-code", "1", "--reply", "IMGINFO 0 4=0"}});
    ASSERT_TRUE(sim.ready()) << sim.error().toStdString();
    const KelctlResult run = sim.kelctl({"fetch", "a.KEL", "a.bmp"});
    EXPECT_EQ(run.status, kStatusDataError) << describe(run);
    // 216 rows and the trailer in whole blocks, of the 508 x 432 pixels the image needs.
    EXPECT_TRUE(run.err.contains("tmp.bin: The file is cut short: it ends after 109,824 of "
                                 "219,456 bytes."))
        << describe(run);
    EXPECT_FALSE(QFile::exists(sim.file("a.KEL")));
    EXPECT_FALSE(QFile::exists(sim.file("a.bmp")));
}

// A bitmap of four colours, one in each quarter, none of their components near 0 or 255:
// blue, green and red of the top left, top right, bottom left and bottom right.
constexpr std::array<std::array<quint8, 3>, 4> kQuarterColours{
    {{20, 60, 200}, {210, 90, 30}, {40, 180, 70}, {120, 30, 150}}};

int quarterOf(int x, int rowFromTop)
{
    return (rowFromTop < kSensorFullHeight / 2 ? 0 : 2) + (x < kSensorWidth / 2 ? 0 : 1);
}

// Pixels within two of the quarters' borders take their neighbours' colours in the demosaic.
bool nearQuarterBorder(int x, int rowFromTop)
{
    return qAbs(2 * x + 1 - kSensorWidth) <= 4 || qAbs(2 * rowFromTop + 1 - kSensorFullHeight) <= 4;
}

QByteArray quarterBitmap()
{
    ImageState state;
    state.BitmapWidth = kSensorWidth;
    state.BitmapHeight = kSensorFullHeight;
    state.BitmapPixels.recreate(3 * kSensorWidth, kSensorFullHeight);
    for (int y = 0; y < kSensorFullHeight; ++y) // bitmap rows: the bottom one first
        for (int x = 0; x < kSensorWidth; ++x)
            for (int c = 0; c < 3; ++c)
                state.BitmapPixels.at(3 * x + c, y) =
                    kQuarterColours[quarterOf(x, kSensorFullHeight - 1 - y)][c];
    return bitmapFileBytes(state, ImageKind::Colour);
}

// Components of the quarters' pixels, away from their borders, that differ by more than
// tolerance between two bitmaps of the sensor's full size.
int componentsApart(const QByteArray& first, const QByteArray& second, int tolerance)
{
    int differing = 0;
    for (int y = 0; y < kSensorFullHeight; ++y) {
        for (int x = 0; x < kSensorWidth; ++x) {
            if (nearQuarterBorder(x, kSensorFullHeight - 1 - y))
                continue;
            const qsizetype at = 54 + (qsizetype(y) * kSensorWidth + x) * 3;
            for (int c = 0; c < 3; ++c)
                if (qAbs(int(quint8(first[at + c])) - int(quint8(second[at + c]))) > tolerance)
                    ++differing;
        }
    }
    return differing;
}

TEST(KelctlUpload, aBitmapComesBackInItsOwnColoursWhateverTheSensorsArrangementAndGains)
{
    const QByteArray bitmap = quarterBitmap();
    for (int phase = 0; phase < 4; ++phase) {
        for (const char* gains : {"0,0,0", "40,10,25"}) {
            const std::string label = "arrangement " + std::to_string(phase) + ", gains " + gains;
            KelsimProcess sim({.arguments = {"--phase", QString::number(phase), "--gains", gains}});
            ASSERT_TRUE(sim.ready()) << sim.error().toStdString();
            ASSERT_TRUE(writeBytes(sim.file("quarters.bmp"), bitmap));
            const KelctlResult upload = sim.kelctl({"upload", "quarters.bmp"});
            ASSERT_EQ(upload.status, 0) << label << describe(upload);
            const KelctlResult fetch = sim.kelctl({"fetch", "back.bmp"});
            ASSERT_EQ(fetch.status, 0) << label << describe(fetch);

            // The gains are divided out and applied again: each component within 1.
            const QByteArray back = readBytes(sim.file("back.bmp"));
            ASSERT_EQ(back.size(), bitmap.size()) << label;
            EXPECT_EQ(componentsApart(back, bitmap, 1), 0) << label;
        }
    }
}

// A sensor image file of another sensor's arrangement is laid out again from its picture.
TEST(KelctlUpload, aSensorImageFileOfAnotherArrangementComesBackInItsColours)
{
    KelsimProcess source({.arguments = {"--phase", "0"}});
    ASSERT_TRUE(source.ready()) << source.error().toStdString();
    const QByteArray bitmap = quarterBitmap();
    ASSERT_TRUE(writeBytes(source.file("quarters.bmp"), bitmap));
    ASSERT_EQ(source.kelctl({"upload", "quarters.bmp"}).status, 0);
    KelsimProcess sim({.arguments = {"--phase", "2"}});
    ASSERT_TRUE(sim.ready()) << sim.error().toStdString();
    ASSERT_EQ(source.kelctl({"fetch", sim.file("other.KEL")}).status, 0);

    const KelctlResult upload = sim.kelctl({"upload", "other.KEL"});
    ASSERT_EQ(upload.status, 0) << describe(upload);
    ASSERT_EQ(sim.kelctl({"fetch", "back.bmp"}).status, 0);
    const QByteArray back = readBytes(sim.file("back.bmp"));
    ASSERT_EQ(back.size(), bitmap.size());
    // Two rounds of the gains' rounding: within 2.
    EXPECT_EQ(componentsApart(back, bitmap, 2), 0);
}

TEST(KelctlUpload, aSensorImageFileRoundTripsThroughTheSensor)
{
    KelsimProcess sim;
    ASSERT_TRUE(sim.ready()) << sim.error().toStdString();
    ASSERT_EQ(sim.kelctl({"fetch", "first.KEL"}).status, 0);
    const KelctlResult upload = sim.kelctl({"upload", "first.KEL"});
    ASSERT_EQ(upload.status, 0) << describe(upload);
    ASSERT_EQ(sim.kelctl({"fetch", "second.KEL"}).status, 0);
    // Gains applied on the way out and divided out on the way in: within rounding of the
    // original, and exactly where no gain applies (green sites, gain 0).
    const QByteArray first = readBytes(sim.file("first.KEL"));
    const QByteArray second = readBytes(sim.file("second.KEL"));
    ASSERT_EQ(first.size(), second.size());
    int differing = 0;
    for (qsizetype i = 16; i < first.size() - 2; ++i)
        if (qAbs(int(quint8(first[i])) - int(quint8(second[i]))) > 1)
            ++differing;
    EXPECT_EQ(differing, 0);
}

TEST(KelctlUpload, aRefusedQueryOrAWrongBitmapSendsNothing)
{
    KelsimProcess sim({.arguments = {"--reply-er", "IMGINFO 0 2"}});
    ASSERT_TRUE(sim.ready()) << sim.error().toStdString();
    KelsimProcess source;
    ASSERT_TRUE(source.ready());
    ASSERT_EQ(source.kelctl({"fetch", sim.file("scene.bmp")}).status, 0);

    const KelctlResult refused = sim.kelctl({"upload", "scene.bmp"});
    EXPECT_EQ(refused.status, kStatusEr) << describe(refused);

    // A bitmap of another size is refused before the sensor is asked anything.
    QByteArray small = readBytes(sim.file("scene.bmp")).left(54);
    small[18] = 4; // width 4
    small[19] = 0;
    small[22] = 4; // height 4
    small[23] = 0;
    small[34] = 48; // bytes of pixels
    small[35] = 0;
    small += QByteArray(4 * 4 * 3, '\x10');
    ASSERT_TRUE(writeBytes(sim.file("small.bmp"), small));
    const KelctlResult wrongSize = sim.kelctl({"upload", "small.bmp"});
    EXPECT_EQ(wrongSize.status, kStatusUsage) << describe(wrongSize);
    EXPECT_EQ(timesSent(sim.log(), "IMGLOAD"), 0);
}

TEST(KelctlConvert, convertsFoldersAndFilesOnceEachAndLeavesEverySourceAsItWas)
{
    KelsimProcess sim;
    ASSERT_TRUE(sim.ready()) << sim.error().toStdString();
    QDir(sim.folder()).mkpath("in");
    ASSERT_EQ(sim.kelctl({"fetch", "in/one.KEL"}).status, 0);
    ASSERT_TRUE(QFile::copy(sim.file("in/one.KEL"), sim.file("in/two.kel")));
    ASSERT_TRUE(writeBytes(sim.file("in/broken.KEL"), "not an image"));
    const QByteArray source = readBytes(sim.file("in/one.KEL"));

    // Into the folder of the sources, naming one file twice.
    const KelctlResult run = sim.kelctl({"convert", "--out", "in", "in", "in/one.KEL"});
    EXPECT_NE(run.status, 0) << "a file that fails must show in the status";
    EXPECT_EQ(run.out.count('\n'), 2) << describe(run);
    EXPECT_TRUE(run.err.contains("broken.KEL")) << describe(run);
    EXPECT_EQ(readBytes(sim.file("in/one.KEL")), source);
    EXPECT_EQ(readBytes(sim.file("in/two.kel")), source);
    EXPECT_EQ(readBytes(sim.file("in/broken.KEL")), "not an image");
    EXPECT_EQ(readBytes(sim.file("in/one.bmp")), readBytes(sim.file("in/two.bmp")));
    EXPECT_EQ(readBytes(sim.file("in/one.bmp")).size(), 54 + kSensorWidth * kSensorFullHeight * 3);

    const KelctlResult grey = sim.kelctl({"convert", "--grey", "--out", "grey", "in/one.KEL"});
    ASSERT_EQ(grey.status, 0) << describe(grey);
    EXPECT_EQ(readBytes(sim.file("grey/one.bmp")).size(),
              54 + 1024 + kSensorWidth * kSensorFullHeight);
}

} // namespace
