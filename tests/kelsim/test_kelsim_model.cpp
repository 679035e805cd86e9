// The simulated sensor's answers, measurements, stored blocks and images, without a line.

#include "SensorModel.h"
#include "SimOptions.h"

#include "image/ImageState.h"
#include "image/PictureConversion.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kel;
using namespace kel::sim;

namespace {

class KelsimModel : public ::testing::Test {
protected:
    KelsimModel() : state(dir.path()), sensor(info, state, [this] { return nowMs; }) {}

    QByteArray reply(const char* line) { return sensor.handle(QLatin1String(line)).reply; }

    const ImageInfo info{1, {10, 20, 30}, 2};
    QTemporaryDir dir;
    StateFolder state;
    qint64 nowMs = 0;
    SensorModel sensor;
};

struct CommandCase {
    const char* line;
    const char* reply;
    Transfer transfer;
};

TEST_F(KelsimModel, answersTheVocabularyAndRefusesEverythingElse)
{
    const CommandCase cases[] = {
        {"IMGINFO 0 0", "1", Transfer::None},
        {"IMGINFO 0 1", "10", Transfer::None},
        {"IMGINFO 0 2", "20", Transfer::None},
        {"IMGINFO 0 3", "30", Transfer::None},
        {"IMGINFO 0 4", "2", Transfer::None},
        {"IMGSAVE 0", "OK", Transfer::SendToPc},
        {"IMGSAVE 1", "OK", Transfer::SendToPc},
        {"IMGLOAD", "OK", Transfer::ReceiveFromPc},
        {"BANKSAVE 1", "OK", Transfer::SendToPc},
        {"BANKSAVE 8", "OK", Transfer::SendToPc},
        {"BANKLOAD", "OK", Transfer::ReceiveFromPc},
        {"SYSSAVE", "OK", Transfer::SendToPc},
        {"SYSLOAD", "OK", Transfer::ReceiveFromPc},
        {"M", "OK", Transfer::None},
        {"M /C", "OK", Transfer::None},
        {"M /E", "OK", Transfer::None},
        {"M /I", "OK", Transfer::None},
        // Not commands of this sensor, or not spelled the way it takes them.
        {"IMGINFO 0 5", "ER", Transfer::None},
        {"IMGINFO 1 0", "ER", Transfer::None},
        {"IMGSAVE 2", "ER", Transfer::None},
        {"BANKSAVE 0", "ER", Transfer::None},
        {"BANKSAVE 9", "ER", Transfer::None},
        {"BANKSAVE", "ER", Transfer::None},
        {"BANKLOAD 1", "ER", Transfer::None},
        {"imginfo 0 0", "ER", Transfer::None},
        {" M", "ER", Transfer::None},
        {"M /X", "ER", Transfer::None},
        {"DATAGET 2 2", "ER", Transfer::None},
        {"", "ER", Transfer::None},
    };
    for (const CommandCase& c : cases) {
        const Response response = sensor.handle(QLatin1String(c.line));
        EXPECT_EQ(response.reply, QByteArray(c.reply)) << c.line;
        EXPECT_EQ(response.transfer, c.transfer) << c.line;
    }
}

TEST_F(KelsimModel, imagesAreSentAsPixelsOfTheReportedSizeAndTheTrailer)
{
    for (const char* line : {"IMGSAVE 0", "IMGSAVE 1"}) {
        const QByteArray file = sensor.handle(QLatin1String(line)).payload;
        ASSERT_EQ(file.size(), kSensorWidth * 108 + 2) << line;
        EXPECT_EQ(static_cast<quint8>(file.at(file.size() - 2)), kImageTrailer[0]);
        EXPECT_EQ(static_cast<quint8>(file.at(file.size() - 1)), kImageTrailer[1]);
    }
    EXPECT_NE(sensor.handle(QStringLiteral("IMGSAVE 0")).payload,
              sensor.handle(QStringLiteral("IMGSAVE 1")).payload);
}

TEST_F(KelsimModel, anUploadIsWhatTheNextImageFetchReturns)
{
    QByteArray upload(kSensorWidth * kUploadFileRows, '\0');
    for (qsizetype i = 0; i < upload.size(); ++i)
        upload[i] = static_cast<char>(i * 7 % 251);
    ASSERT_TRUE(sensor.accept(ReceiveTarget::Image, upload, nullptr));
    const QByteArray fetched = sensor.handle(QStringLiteral("IMGSAVE 0")).payload;
    EXPECT_EQ(fetched.left(kSensorWidth * 108), upload.left(kSensorWidth * 108));

    // A short upload leaves the rows it lacks black.
    ASSERT_TRUE(sensor.accept(ReceiveTarget::Image, upload.left(1000), nullptr));
    const QByteArray shortFetch = sensor.handle(QStringLiteral("IMGSAVE 0")).payload;
    EXPECT_EQ(shortFetch.left(1000), upload.left(1000));
    EXPECT_EQ(shortFetch.mid(1000, kSensorWidth * 108 - 1000),
              QByteArray(kSensorWidth * 108 - 1000, '\0'));
}

TEST_F(KelsimModel, restoredBlocksComeBackUnchanged)
{
    const QByteArray bank5 = StateFolder::defaultBank(5).replace(100, 4, "EDIT");
    const QByteArray foreign(384, '\x42');
    const QByteArray system(256, '\x17');

    ASSERT_TRUE(sensor.accept(ReceiveTarget::Bank, bank5, nullptr)); // names bank 5
    EXPECT_EQ(sensor.handle(QStringLiteral("BANKSAVE 3")).payload, StateFolder::defaultBank(3));
    ASSERT_TRUE(sensor.accept(ReceiveTarget::Bank, foreign, nullptr)); // to the last backed up
    ASSERT_TRUE(sensor.accept(ReceiveTarget::System, system, nullptr));

    EXPECT_EQ(sensor.handle(QStringLiteral("BANKSAVE 5")).payload, bank5);
    EXPECT_EQ(sensor.handle(QStringLiteral("BANKSAVE 3")).payload, foreign);
    EXPECT_EQ(sensor.handle(QStringLiteral("SYSSAVE")).payload, system);
    // Kept in the folder, so a restarted sensor still has them.
    EXPECT_EQ(StateFolder(dir.path()).bank(5), bank5);
}

TEST(KelsimStateFolder, madeUpBlocksNameTheirBankAndDiffer)
{
    for (int bank = 1; bank <= kBankCount; ++bank) {
        EXPECT_EQ(StateFolder::bankNamedIn(StateFolder::defaultBank(bank)), bank);
        EXPECT_EQ(StateFolder::defaultBank(bank).size() % 128, 0);
    }
    EXPECT_NE(StateFolder::defaultBank(1).mid(16), StateFolder::defaultBank(2).mid(16));
    EXPECT_EQ(StateFolder::bankNamedIn(StateFolder::defaultSystem()), 0);
    EXPECT_EQ(StateFolder::bankNamedIn("KELSIM-BANK-9"), 0);
    EXPECT_EQ(StateFolder::bankNamedIn("KELSIM-BANK-"), 0);
}

TEST_F(KelsimModel, measurementsReportNothingUntilTheFirstAndThenChange)
{
    EXPECT_EQ(reply("DATAGET 2 0"), "-2");
    EXPECT_EQ(reply("DATAGET 2 1"), "0.00");

    QByteArray previous = reply("DATAGET 2 1");
    QSet<QByteArray> codes;
    for (int i = 0; i < 20; ++i) {
        reply(i % 2 ? "M" : "M /I");
        const QByteArray value = reply("DATAGET 2 1");
        const QByteArray code = reply("DATAGET 2 0");
        EXPECT_EQ(code, std::abs(value.toDouble() - kNominalValue) > kTolerance ? "-1" : "0")
            << value.constData();
        EXPECT_NE(value, previous) << "measurement " << i;
        previous = value;
        codes.insert(code);
    }
    EXPECT_EQ(codes, (QSet<QByteArray>{"0", "-1"})); // both judgements occur
}

TEST_F(KelsimModel, aContinuousMeasurementMovesWithTimeUntilItEnds)
{
    reply("M /C");
    const QByteArray first = reply("DATAGET 2 1");
    EXPECT_EQ(reply("DATAGET 2 1"), first); // no time, no new measurement
    nowMs += kContinuousPeriodMs;
    const QByteArray second = reply("DATAGET 2 1");
    EXPECT_NE(second, first);
    reply("M /E");
    nowMs += 10 * kContinuousPeriodMs;
    EXPECT_EQ(reply("DATAGET 2 1"), second);
}

// The colour at a few places where the scene is flat, away from edges.
struct Sample {
    double x; // share of the width
    double y; // share of the height
};

TEST(KelsimImages, thePcsConversionShowsTheScenesTrueColours)
{
    const Sample samples[] = {{0.06, 0.15}, {0.19, 0.15}, {0.31, 0.15}, {0.44, 0.15},
                              {0.56, 0.15}, {0.69, 0.15}, {0.81, 0.15}, {0.94, 0.15},
                              {0.15, 0.77}, {0.40, 0.80}, {0.58, 0.77}, {0.02, 0.60}};
    const ImageInfo infos[] = {
        {0, {0, 0, 0}, 0}, {1, {40, 0, 25}, 0}, {2, {100, 50, 200}, 1}, {3, {255, 7, 13}, 2}};
    for (const ImageInfo& info : infos) {
        const int height = rowsOfSizeCode(info.sizeCode);
        const RgbPicture scene = drawScene(kSensorWidth, height);
        ImageState state;
        state.CurrentImage.BayerPhase = info.phase;
        state.CurrentImage.GainR = info.gains[0];
        state.CurrentImage.GainG = info.gains[1];
        state.CurrentImage.GainB = info.gains[2];
        state.CurrentImage.Pixels = mosaicOf(scene, info);
        fncColorConvert(state);
        for (const Sample& sample : samples) {
            const int x = static_cast<int>(sample.x * kSensorWidth);
            const int y = static_cast<int>(sample.y * height);
            const Rgb expected = scene.at(x, y);
            const quint8* bgr = state.BitmapPixels.row(height - 1 - y) + 3 * x;
            // Dividing by a gain and multiplying again loses at most the rounding step.
            const int step = 1 + info.gains[0] / 100 + info.gains[1] / 100 + info.gains[2] / 100;
            EXPECT_NEAR(bgr[2], expected.r, step)
                << "phase " << int(info.phase) << " at " << x << "," << y;
            EXPECT_NEAR(bgr[1], expected.g, step)
                << "phase " << int(info.phase) << " at " << x << "," << y;
            EXPECT_NEAR(bgr[0], expected.b, step)
                << "phase " << int(info.phase) << " at " << x << "," << y;
        }
    }
}

TEST(KelsimImages, sceneHasItsBandsInTheirPlaces)
{
    const RgbPicture scene = drawScene(kSensorWidth, kSensorFullHeight);
    const int rampRow = static_cast<int>(kSensorFullHeight * (kBarsEnd + kGreyRampEnd) / 2);
    EXPECT_EQ(scene.at(0, rampRow), (Rgb{0, 0, 0}));
    EXPECT_EQ(scene.at(kSensorWidth - 1, rampRow), (Rgb{255, 255, 255}));
    EXPECT_EQ(scene.at(kSensorWidth - 1, kSensorFullHeight - 1), kGround);
    // The words are there: white pixels in the lower right part.
    int white = 0;
    for (int y = kSensorFullHeight / 2; y < kSensorFullHeight; ++y) {
        for (int x = kSensorWidth * 2 / 3; x < kSensorWidth; ++x)
            white += scene.at(x, y) == Rgb{255, 255, 255};
    }
    EXPECT_GT(white, 200);
}

TEST(KelsimCommandLine, optionsSetWhatTheySayAndRefuseNonsense)
{
    const ParsedOptions parsed = parseSimOptions({"--link",
                                                  "/tmp/x",
                                                  "--delimiter=crlf",
                                                  "--baud",
                                                  "9600",
                                                  "--phase",
                                                  "3",
                                                  "--gains",
                                                  "1, 2,3",
                                                  "--size-code",
                                                  "2",
                                                  "--reply-er",
                                                  "M",
                                                  "--no-reply",
                                                  "BANKSAVE",
                                                  "--ignore-c",
                                                  "--corrupt",
                                                  "0.5",
                                                  "--cancel-after",
                                                  "4"});
    ASSERT_EQ(parsed.outcome, ParsedOptions::Outcome::Run) << parsed.error.toStdString();
    const SimOptions& o = parsed.options;
    EXPECT_EQ(o.linkPath, "/tmp/x");
    EXPECT_EQ(o.delimiter, "\r\n");
    EXPECT_EQ(o.baud, 9600);
    EXPECT_EQ(o.image.phase, 3);
    EXPECT_EQ(o.image.gains, (std::array<quint8, 3>{1, 2, 3}));
    EXPECT_EQ(o.image.sizeCode, 2);
    ASSERT_EQ(o.commandFaults.size(), 2);
    EXPECT_EQ(o.commandFaults[1].fault, CommandFault::NoReply);
    EXPECT_EQ(o.commandFaults[1].command, "BANKSAVE");
    EXPECT_TRUE(o.ignoreCrcRequest);
    EXPECT_EQ(o.corruptPercent, 0.5);
    EXPECT_EQ(o.cancelAfterBlock, 4);

    const QStringList refused[] = {
        {"--phase", "4"},        {"--gains", "1,2"},   {"--gains", "1,2,256"},
        {"--delimiter", "x"},    {"--corrupt", "101"}, {"--baud"},
        {"--cancel-after", "0"}, {"--what"},           {"--reply-er", " "}};
    for (const QStringList& args : refused)
        EXPECT_EQ(parseSimOptions(args).outcome, ParsedOptions::Outcome::Error)
            << args.join(' ').toStdString();
    EXPECT_EQ(parseSimOptions({"--quiet", "--help"}).outcome, ParsedOptions::Outcome::Help);
}

TEST(KelsimCommandLine, faultRulesMatchTheCommandOrItsWordPrefix)
{
    EXPECT_TRUE(commandMatches("M", "M"));
    EXPECT_TRUE(commandMatches("M", "M /C"));
    EXPECT_FALSE(commandMatches("M", "MX"));
    EXPECT_TRUE(commandMatches("BANKSAVE", "BANKSAVE 3"));
    EXPECT_FALSE(commandMatches("BANKSAVE 3", "BANKSAVE 4"));
    EXPECT_TRUE(commandMatches("*", "ANYTHING"));
    EXPECT_FALSE(commandMatches("IMGSAVE 0", "IMGSAVE"));
}

} // namespace
