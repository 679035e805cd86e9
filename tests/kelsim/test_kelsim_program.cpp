// kelsim as the tool meets it: kelctl commands and transfers against the running program.

#include "SensorImages.h"
#include "StateFolder.h"

#include "image/ImageState.h"
#include "serial/XmodemProtocol.h"
#include "support/KelsimFixture.h"
#include "support/PtyPair.h"
#include "support/QtPrinting.h"
#include "support/XmodemPackets.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>
#include <gtest/gtest.h>

using namespace kel;
using namespace kel::serial;
using namespace kel::sim;
using namespace kel::test;

namespace {

QByteArray readFile(const QString& path)
{
    QFile in(path);
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray("(missing)");
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile out(path);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
    out.write(bytes);
}

// One command that starts a transfer, then the transfer; "" when both went through, else
// what went wrong.
QString transfer(const KelsimProcess& sim, const QString& command, const char* direction,
                 const QString& file)
{
    const KelctlResult reply = sim.kelctl({QStringLiteral("command"), command});
    if (reply.status != 0 || reply.out != "OK\n")
        return command + QStringLiteral(": ") + QString::fromLocal8Bit(reply.out + reply.err);
    const KelctlResult moved = sim.kelctl({QLatin1String(direction), file});
    if (moved.status != 0)
        return QStringLiteral("%1 after %2: status %3 %4")
            .arg(QLatin1String(direction), command)
            .arg(moved.status)
            .arg(QString::fromLocal8Bit(moved.err));
    return {};
}

struct ReplyCase {
    const char* command;
    const char* reply; // a pattern
    int status;
};

class KelsimDelimiters : public ::testing::TestWithParam<int> {};

TEST_P(KelsimDelimiters, kelctlGetsEveryReply)
{
    KelsimProcess sim({.delimiterCode = GetParam(),
                       .arguments = {"--phase", "2", "--gains", "11,22,33", "--size-code", "1"}});
    ASSERT_TRUE(sim.ready()) << sim.error().toStdString();
    const ReplyCase cases[] = {
        {"IMGINFO 0 0", "2", 0},
        {"IMGINFO 0 1", "11", 0},
        {"IMGINFO 0 2", "22", 0},
        {"IMGINFO 0 3", "33", 0},
        {"IMGINFO 0 4", "1", 0},
        {"DATAGET 2 0", "-2", 0},
        {"DATAGET 2 1", "0\\.00", 0},
        {"M", "OK", 0},
        {"DATAGET 2 0", "-1|0", 0},
        {"DATAGET 2 1", "\\d+\\.\\d\\d", 0},
        {"M /I", "OK", 0},
        {"M /C", "OK", 0},
        {"M /E", "OK", 0},
        {"BANKSAVE 9", "ER", 6},
        {"VERSION", "ER", 6},
    };
    for (const ReplyCase& c : cases) {
        const KelctlResult run = sim.kelctl({"command", QLatin1String(c.command)});
        const QRegularExpression expected(QStringLiteral("^(%1)\n$").arg(QLatin1String(c.reply)));
        EXPECT_TRUE(expected.match(QString::fromLatin1(run.out)).hasMatch())
            << c.command << " gave " << run.out.toStdString() << run.err.toStdString();
        EXPECT_EQ(run.status, c.status) << c.command;
    }
    // The "OK" of every command that starts a transfer, each followed by its transfer.
    writeFile(sim.file("bank.bin"), StateFolder::defaultBank(4));
    writeFile(sim.file("up.bin"), patternFile(kSensorWidth * kUploadFileRows, 3));
    EXPECT_EQ(transfer(sim, "IMGSAVE 0", "receive", sim.file("c.bin")), "");
    EXPECT_EQ(transfer(sim, "IMGSAVE 1", "receive", sim.file("g.bin")), "");
    EXPECT_EQ(transfer(sim, "IMGLOAD", "send", sim.file("up.bin")), "");
    EXPECT_EQ(transfer(sim, "BANKSAVE 1", "receive", sim.file("b1.bin")), "");
    EXPECT_EQ(transfer(sim, "BANKLOAD", "send", sim.file("bank.bin")), "");
    EXPECT_EQ(transfer(sim, "SYSSAVE", "receive", sim.file("s.bin")), "");
    EXPECT_EQ(transfer(sim, "SYSLOAD", "send", sim.file("s.bin")), "");
}

INSTANTIATE_TEST_SUITE_P(
    Kelsim, KelsimDelimiters, ::testing::Values(0, 1, 2), [](const auto& info) {
        return std::string(info.param == 0 ? "CR" : info.param == 1 ? "LF" : "CRLF");
    });

class KelsimProgram : public KelsimTest {};

TEST_F(KelsimProgram, fetchedImagesArePixelsAndTrailerFilledToWholeBlocks)
{
    const SensorImages expected(ImageInfo{});
    const struct {
        const char* command;
        QByteArray image;
    } cases[] = {{"IMGSAVE 0", expected.colourFile()}, {"IMGSAVE 1", expected.greyFile()}};
    for (const auto& c : cases) {
        ASSERT_EQ(transfer(*sim, c.command, "receive", sim->file("tmp.bin")), "");
        const QByteArray file = readFile(sim->file("tmp.bin"));
        ASSERT_EQ(c.image.size(), kSensorWidth * kSensorFullHeight + 2);
        EXPECT_EQ(file.size() % 128, 0) << c.command;
        EXPECT_EQ(file.left(c.image.size()), c.image) << c.command;
        EXPECT_EQ(file.mid(c.image.size()), QByteArray(file.size() - c.image.size(), '\xFF'));
    }
}

TEST_F(KelsimProgram, anUploadedImageIsWhatTheNextFetchReturns)
{
    ASSERT_EQ(transfer(*sim, "IMGSAVE 0", "receive", sim->file("before.bin")), "");
    const QByteArray upload = patternFile(kSensorWidth * kUploadFileRows, 11);
    writeFile(sim->file("tmp_2.bin"), upload);
    ASSERT_EQ(transfer(*sim, "IMGLOAD", "send", sim->file("tmp_2.bin")), "");
    ASSERT_EQ(transfer(*sim, "IMGSAVE 0", "receive", sim->file("after.bin")), "");
    const qsizetype pixels = kSensorWidth * kSensorFullHeight;
    const QByteArray after = readFile(sim->file("after.bin"));
    EXPECT_NE(after.left(pixels), readFile(sim->file("before.bin")).left(pixels));
    EXPECT_EQ(after.left(pixels), upload.left(pixels));
}

TEST_F(KelsimProgram, restoredBankAndSystemDataComeBackUnchanged)
{
    ASSERT_EQ(transfer(*sim, "BANKSAVE 6", "receive", sim->file("six.BNK")), "");
    QByteArray bank = readFile(sim->file("six.BNK"));
    EXPECT_EQ(StateFolder::bankNamedIn(bank), 6);
    bank.replace(40, 8, "CHANGED!");
    writeFile(sim->file("six.BNK"), bank);
    ASSERT_EQ(transfer(*sim, "BANKLOAD", "send", sim->file("six.BNK")), "");
    ASSERT_EQ(transfer(*sim, "BANKSAVE 6", "receive", sim->file("again.BNK")), "");
    EXPECT_EQ(readFile(sim->file("again.BNK")), bank);

    const QByteArray system = patternFile(640, 5);
    writeFile(sim->file("sys.STD"), system);
    ASSERT_EQ(transfer(*sim, "SYSLOAD", "send", sim->file("sys.STD")), "");
    ASSERT_EQ(transfer(*sim, "SYSSAVE", "receive", sim->file("back.STD")), "");
    EXPECT_EQ(readFile(sim->file("back.STD")), system);
}

TEST_F(KelsimProgram, aContinuousMeasurementChangesTheValueUntilItEnds)
{
    auto value = [this] { return sim->kelctl({"command", "DATAGET 2 1"}).out; };
    ASSERT_EQ(sim->kelctl({"command", "M /C"}).status, 0);
    const QByteArray first = value();
    QThread::msleep(250);
    const QByteArray second = value();
    EXPECT_NE(second, first);
    ASSERT_EQ(sim->kelctl({"command", "M /E"}).status, 0);
    const QByteArray stopped = value();
    QThread::msleep(250);
    EXPECT_EQ(value(), stopped);
}

TEST(KelsimLine, theRestOfACancelDoesNotSpoilTheNextCommand)
{
    // Paced, so that most of the PC's ten CAN are still on the line when the send ends.
    KelsimProcess sim({.arguments = {"--baud", "38400"}});
    ASSERT_TRUE(sim.ready()) << sim.error().toStdString();
    RawTerminal pc(sim.device());
    pc.write("SYSSAVE\r");
    ASSERT_EQ(pc.readBytes(3), "OK\r");
    pc.write(byte(CRC_REQUEST));
    ASSERT_EQ(pc.readBytes(133).size(), 133);
    pc.write(times(10, CAN));
    QThread::msleep(50);
    pc.write("IMGINFO 0 1\r");
    EXPECT_EQ(pc.readBytes(3, 2000), "40\r");
}

TEST(KelsimLifecycle, announcesItselfAndCleansUpOnSigterm)
{
    QTemporaryDir dir;
    const QString settings = dir.filePath(QStringLiteral("Setting.ini"));
    const QByteArray kept = "; the operator's own\r\n[OPERATION]\r\nLanguage=Japanese\r\n"
                            "[COM]\r\nPort=3\r\nDelimitr=1\r\n";
    writeFile(settings, kept);
    const QString link = dir.filePath(QStringLiteral("kelsim.pty"));
    const QString deviceFile = dir.filePath(QStringLiteral("device.txt"));
    KelsimProcess sim(
        {.delimiterCode = -1,
         .arguments = {"--link", link, "--device-file", deviceFile, "--settings", settings}});
    ASSERT_TRUE(sim.ready()) << sim.error().toStdString();
    EXPECT_EQ(QFileInfo(link).symLinkTarget(), sim.device());
    EXPECT_EQ(readFile(deviceFile), sim.device().toLocal8Bit() + '\n');
    EXPECT_EQ(readFile(settings), kept + "Device=" + link.toLocal8Bit() + "\r\n");
    {
        RawTerminal pc(link); // the line speaks the settings file's delimiter, LF
        pc.write("M\n");
        EXPECT_EQ(pc.readBytes(3, 2000), "OK\n");
    }

    EXPECT_EQ(sim.stop(), 0);
    EXPECT_FALSE(QFileInfo(link).isSymLink());
    EXPECT_FALSE(QFileInfo::exists(deviceFile));
    EXPECT_TRUE(sim.log().contains("stopped")) << sim.log().toStdString();
}

TEST(KelsimLifecycle, helpAndBadOptions)
{
    QProcess help;
    help.start(QStringLiteral(KEL_APP_BIN_DIR "/kelsim"), {QStringLiteral("--help")});
    ASSERT_TRUE(help.waitForFinished(10000));
    EXPECT_EQ(help.exitCode(), 0);
    EXPECT_TRUE(help.readAllStandardOutput().contains("--cancel-after"));

    QProcess bad;
    bad.start(QStringLiteral(KEL_APP_BIN_DIR "/kelsim"),
              {QStringLiteral("--phase"), QStringLiteral("7")});
    ASSERT_TRUE(bad.waitForFinished(10000));
    EXPECT_EQ(bad.exitCode(), 2);
    EXPECT_TRUE(bad.readAllStandardError().contains("--phase"));
}

} // namespace
