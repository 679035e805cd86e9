// The sensor unplugged under an open port: kelsim closes its pseudo-terminal in the middle of
// a command or of a transfer, and the device disappears as a USB adapter's does. The command
// exchange and the transfer wrappers end at once with a message, close the port, and the
// next open finds no device. kelctl ends with a failure status and says why.

#include "serial/CommandExchange.h"
#include "serial/FileTransfer.h"
#include "serial/QtBytePort.h"
#include "serial/SystemClock.h"
#include "serial/XmodemProtocol.h"
#include "support/KelsimFixture.h"
#include "support/QtPrinting.h"
#include "support/SimulatedLink.h"
#include "support/TempAppDir.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <gtest/gtest.h>
#include <memory>

using namespace kel;
using namespace kel::serial;
using namespace kel::test;

namespace {

class Unplug : public ::testing::Test {
protected:
    // The port is opened through kelsim's link, never by the device's own name: once kelsim
    // has let its pseudo-terminal go, the next one made (by another test running meanwhile)
    // may get the same name.
    void start(QStringList kelsimArguments)
    {
        kelsimArguments << QStringLiteral("--link") << sensorLink();
        sim = std::make_unique<KelsimProcess>(KelsimOptions{.arguments = kelsimArguments});
        ASSERT_TRUE(sim->ready()) << sim->error().toStdString();
        link.line.device = sensorLink();
        clock.start();
    }

    QString sensorLink() const { return dir.file(QStringLiteral("sensor.pty")); }

    // One notice that names the line: message 22, or the port's own failure of a failed write.
    void expectToldAboutTheLine() const
    {
        const bool noReply =
            notices.messages == Messages{LineMessage::NoReply} && notices.portFailures.isEmpty();
        const bool portFailure = notices.messages.isEmpty() && notices.portFailures.size() == 1;
        EXPECT_TRUE(noReply || portFailure) << notices.messages.size() << " messages, "
                                            << notices.portFailures.size() << " port failures";
    }

    // The device is gone: kelsim has ended by itself (and taken its link away), and the next
    // command cannot open the port and says so at once.
    void expectNextCommandFindsNoDevice()
    {
        QElapsedTimer waited;
        waited.start();
        while (QFileInfo(sensorLink()).isSymLink() && waited.elapsed() < 5000)
            QThread::msleep(10);
        ASSERT_FALSE(QFileInfo(sensorLink()).isSymLink()) << "kelsim did not end after hanging up";
        notices.clear();
        CommandOutcome outcome;
        EXPECT_EQ(SendCommand(link, QStringLiteral("IMGINFO 0 1"), &outcome), QString());
        EXPECT_EQ(outcome.failure, CommandFailure::PortCannotOpen);
        EXPECT_EQ(notices.messages, Messages{LineMessage::PortCannotOpen});
    }

    QString path(const char* name) const { return dir.file(QLatin1String(name)); }

    TempAppDir dir;
    RecordingNotices notices;
    QtBytePort port;
    SystemClock systemClock;
    SerialLink link{notices, port, systemClock};
    std::unique_ptr<KelsimProcess> sim;
    QElapsedTimer clock;
};

TEST_F(Unplug, duringACommandTheReplyIsGivenUpAtOnceWithAMessage)
{
    start({"--hang-up-on", "IMGINFO 0 0"});
    CommandOutcome outcome;
    EXPECT_EQ(SendCommand(link, QStringLiteral("IMGINFO 0 0"), &outcome), QString());
    EXPECT_LT(clock.elapsed(), kReplyTimeoutMs - 1000) << "no wait for the reply time-out";
    EXPECT_EQ(outcome.failure, CommandFailure::RuntimeFailure);
    EXPECT_FALSE(outcome.detail.isEmpty());
    expectToldAboutTheLine();
    EXPECT_FALSE(port.isOpen());
    expectNextCommandFindsNoDevice();
}

TEST_F(Unplug, duringAReceiveTheTransferEndsAtOnceKeepingWholeBlocks)
{
    start({"--hang-up-after", "5000"});
    ASSERT_EQ(SendCommand(link, QStringLiteral("IMGSAVE 0")), QStringLiteral("OK"));
    const TransferOutcome outcome = ReceiveFile(link, path("tmp.bin"));
    EXPECT_FALSE(outcome);
    EXPECT_LT(clock.elapsed(), 5000) << "no wait for the transfer's time-outs";
    EXPECT_TRUE(outcome.failure == TransferFailure::PortError || outcome.code == XM_SEND_FAILED)
        << outcome.code;
    expectToldAboutTheLine();
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(link.xmPort, nullptr);
    const qint64 kept = QFileInfo(path("tmp.bin")).size();
    EXPECT_EQ(kept % kBlockSize, 0);
    EXPECT_LT(kept, 5000);
    QFile again(path("tmp.bin"));
    EXPECT_TRUE(again.open(QIODevice::ReadWrite)) << "the file was let go";
    expectNextCommandFindsNoDevice();
}

TEST_F(Unplug, duringASendTheTransferEndsAtOnce)
{
    for (const char* mode : {"crc", "checksum"}) {
        SCOPED_TRACE(mode);
        notices.clear();
        QStringList arguments{"--hang-up-after", "2000"};
        if (QLatin1String(mode) == QLatin1String("checksum"))
            arguments << QStringLiteral("--checksum-only");
        start(arguments);
        QByteArray bank(128 * 64, '\0');
        for (qsizetype i = 0; i < bank.size(); ++i)
            bank[i] = static_cast<char>(i * 13 % 256);
        dir.write(QStringLiteral("bank.BNK"), bank);

        ASSERT_EQ(SendCommand(link, QStringLiteral("BANKLOAD")), QStringLiteral("OK"));
        const TransferOutcome outcome = SendFile(link, path("bank.BNK"));
        EXPECT_FALSE(outcome);
        EXPECT_LT(clock.elapsed(), 5000) << "no wait for the transfer's time-outs";
        expectToldAboutTheLine();
        EXPECT_FALSE(port.isOpen());
        expectNextCommandFindsNoDevice();
    }
}

TEST_F(Unplug, kelctlEndsWithAFailureAndSaysWhy)
{
    start({"--hang-up-on", "M"});
    const KelctlResult result = sim->kelctl({QStringLiteral("command"), QStringLiteral("M")});
    EXPECT_LT(clock.elapsed(), 4000);
    EXPECT_NE(result.status, 0);
    EXPECT_NE(result.status, -1) << "kelctl ran to its end";
    EXPECT_TRUE(result.out.isEmpty()) << result.out.constData();
    EXPECT_TRUE(result.err.contains("Communication with the sensor failed"))
        << result.err.constData();
}

} // namespace
