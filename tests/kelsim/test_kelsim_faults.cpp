// kelsim's fault options, each seen from the PC's end of the line.

#include "SensorImages.h"
#include "StateFolder.h"

#include "image/ImageState.h"
#include "serial/XmodemProtocol.h"
#include "support/KelsimFixture.h"
#include "support/PtyPair.h"
#include "support/QtPrinting.h"
#include "support/XmodemPackets.h"

#include <QElapsedTimer>
#include <QFile>
#include <gtest/gtest.h>

using namespace kel;
using namespace kel::serial;
using namespace kel::sim;
using namespace kel::test;

namespace {

constexpr int kQuietMs = 400; // long enough to tell silence from a late reply

QByteArray readFile(const QString& path)
{
    QFile in(path);
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray("(missing)");
}

struct LineCase {
    const char* send;
    QByteArray expect; // empty: nothing comes back
};

TEST(KelsimFaults, commandFaultsChangeOnlyTheirCommands)
{
    KelsimProcess sim(
        {.arguments = {"--reply-er", "M /I", "--no-reply", "DATAGET 2 0", "--empty-reply", "M /C",
                       "--reply-twice", "IMGINFO 0", "--reply-er", "IMGLOAD"}});
    ASSERT_TRUE(sim.ready()) << sim.error().toStdString();
    RawTerminal pc(sim.device());
    const LineCase cases[] = {
        {"M /I\r", "ER\r"},
        {"DATAGET 2 0\r", ""},
        {"M /C\r", "\r"},
        {"IMGINFO 0 1\r", "40\r40\r"},
        {"IMGINFO 0 4\r", "0\r0\r"},
        {"IMGLOAD\r", "ER\r"},       // and no transfer: the next command is answered at once
        {"DATAGET 2 1\r", "0.00\r"}, // neither "M /I" nor "M /C" measured
        {"M\r", "OK\r"},
    };
    for (const LineCase& c : cases) {
        pc.write(c.send);
        const QByteArray got = pc.readBytes(c.expect.size() + 1, kQuietMs);
        EXPECT_EQ(got, c.expect) << c.send;
    }
}

TEST(KelsimFaults, kelctlSeesTheCommandFaultsAsTheToolWould)
{
    KelsimProcess sim({.arguments = {"--reply-er", "M", "--empty-reply", "IMGINFO 0 0",
                                     "--reply-twice", "BANKSAVE"}});
    ASSERT_TRUE(sim.ready()) << sim.error().toStdString();
    EXPECT_EQ(sim.kelctl({"command", "M"}).status, 6);
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(sim.kelctl({"command", "IMGINFO 0 0"}).status, 5); // no reply, without the wait
    EXPECT_LT(clock.elapsed(), 3000);
    // The second "OK" is thrown away when the PC opens its port for the transfer.
    const KelctlResult twice = sim.kelctl({"command", "BANKSAVE 2"});
    EXPECT_EQ(twice.out, "OK\n");
    EXPECT_EQ(sim.kelctl({"receive", sim.file("b.bin")}).status, 0);
    EXPECT_EQ(readFile(sim.file("b.bin")), StateFolder::defaultBank(2));
}

TEST(KelsimFaults, checksumOnlyAsksWithNakAndStillTakesTheFile)
{
    KelsimProcess sim({.arguments = {"--checksum-only"}});
    ASSERT_TRUE(sim.ready()) << sim.error().toStdString();
    {
        RawTerminal pc(sim.device());
        pc.write("SYSLOAD\r");
        EXPECT_EQ(pc.readBytes(4), "OK\r" + byte(NAK));
        pc.write(byte(CAN) + byte(CAN)); // not now
    }
    QFile out(sim.file("sys.STD"));
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(patternFile(300, 2));
    out.close();
    ASSERT_EQ(sim.kelctl({"command", "SYSLOAD"}).status, 0);
    ASSERT_EQ(sim.kelctl({"send", sim.file("sys.STD")}).status, 0);
    ASSERT_EQ(sim.kelctl({"command", "SYSSAVE"}).status, 0);
    ASSERT_EQ(sim.kelctl({"receive", sim.file("back.STD")}).status, 0);
    EXPECT_EQ(readFile(sim.file("back.STD")), padded(patternFile(300, 2), '\xFF'));
}

TEST(KelsimFaults, ignoringCLeavesOnlyTheChecksumStart)
{
    KelsimProcess sim({.arguments = {"--ignore-c"}});
    ASSERT_TRUE(sim.ready()) << sim.error().toStdString();
    RawTerminal pc(sim.device());
    pc.write("BANKSAVE 1\r");
    ASSERT_EQ(pc.readBytes(3), "OK\r");
    pc.write(byte(CRC_REQUEST));
    EXPECT_EQ(pc.readBytes(1, kQuietMs), "");
    pc.write(byte(NAK));
    EXPECT_EQ(pc.readBytes(132), block(1, StateFolder::defaultBank(1).left(128), Check::Checksum));
}

struct DamageCase {
    const char* option;
    const char* percent;
    bool blockArrives; // else nothing of it arrives
};

TEST(KelsimFaults, corruptAndDropDamageTransfersButNotReplies)
{
    const DamageCase cases[] = {{"--corrupt", "100", true}, {"--drop", "100", false}};
    for (const DamageCase& c : cases) {
        KelsimProcess sim({.arguments = {QLatin1String(c.option), QLatin1String(c.percent)}});
        ASSERT_TRUE(sim.ready()) << sim.error().toStdString();
        RawTerminal pc(sim.device());
        pc.write("BANKSAVE 1\r");
        ASSERT_EQ(pc.readBytes(3), "OK\r") << c.option;
        pc.write(byte(CRC_REQUEST));
        const QByteArray clean = block(1, StateFolder::defaultBank(1).left(128));
        const QByteArray got = pc.readBytes(clean.size(), kQuietMs);
        if (!c.blockArrives) {
            EXPECT_EQ(got, "") << c.option;
            continue;
        }
        ASSERT_EQ(got.size(), clean.size()) << c.option;
        for (qsizetype i = 0; i < clean.size(); ++i)
            EXPECT_EQ(std::popcount(static_cast<quint8>(got[i] ^ clean[i])), 1) << i;
    }
}

TEST(KelsimFaults, cancelAfterEndsTransfersInBothDirections)
{
    KelsimProcess sim({.arguments = {"--cancel-after", "2"}});
    ASSERT_TRUE(sim.ready()) << sim.error().toStdString();
    ASSERT_EQ(sim.kelctl({"command", "IMGSAVE 0"}).status, 0);
    EXPECT_EQ(sim.kelctl({"receive", sim.file("tmp.bin")}).status, 10); // cancelled by sensor
    EXPECT_EQ(readFile(sim.file("tmp.bin")), SensorImages(ImageInfo{}).colourFile().left(256));

    QFile out(sim.file("tmp_2.bin"));
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(patternFile(kSensorWidth * kUploadFileRows, 4));
    out.close();
    ASSERT_EQ(sim.kelctl({"command", "IMGLOAD"}).status, 0);
    EXPECT_EQ(sim.kelctl({"send", sim.file("tmp_2.bin")}).status, 10);
    // The sensor kept its image.
    ASSERT_EQ(sim.kelctl({"command", "IMGSAVE 0"}).status, 0);
    sim.kelctl({"receive", sim.file("again.bin")});
    EXPECT_EQ(readFile(sim.file("again.bin")), SensorImages(ImageInfo{}).colourFile().left(256));
}

} // namespace
