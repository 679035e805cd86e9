// The transfer wrappers: port and file handling, messages, and what every ending returns.

#include "serial/FileTransfer.h"
#include "serial/Xmodem.h"
#include "support/ScriptedPeer.h"
#include "support/SimulatedLink.h"
#include "support/XmodemPackets.h"

#include "support/QtPrinting.h"
#include <QFile>
#include <QFileInfo>
#include <csignal>
#ifdef Q_OS_LINUX
#include <sys/resource.h>
#endif

#include <gtest/gtest.h>

using namespace kel::serial;
using namespace kel::test;

namespace {

class FileTransferTest : public ::testing::Test {
protected:
    FileTransferTest() : sim(line) {}

    QString path(const char* name) const { return sim.dir.file(QLatin1String(name)); }
    Messages boxTexts() const { return sim.notices.messages; }
    void expectReleased()
    {
        EXPECT_FALSE(sim.port().isOpen());
        EXPECT_EQ(sim.link.xmPort, nullptr);
    }

    SimulatedLine line;
    SimulatedLink sim;
    ScriptedPeer peer{line, 1};
};

TEST_F(FileTransferTest, completedReceiveIsTrueWithoutMessageAndPortOpenedForBytes)
{
    const QByteArray data = patternFile(300);
    peer.on(byte(CRC_REQUEST));
    for (int i = 0; i < 3; ++i)
        peer.send(block(static_cast<quint8>(i + 1), data.mid(i * 128, 128))).on(byte(ACK));
    peer.send(byte(EOT)).on(byte(NAK)).send(byte(EOT)).on(byte(ACK));

    EXPECT_TRUE(ReceiveFile(sim.link, path("tmp.bin")));
    EXPECT_EQ(sim.dir.read(QStringLiteral("tmp.bin")), padded(data, '\x1A'));
    EXPECT_TRUE(sim.notices.nothingShown());
    ASSERT_EQ(sim.port().opens.size(), 1);
    EXPECT_FALSE(sim.port().opens.at(0).dtr);
    expectReleased();
}

TEST_F(FileTransferTest, sensorThatNeverStartsGivesMessage23)
{
    const TransferOutcome outcome = ReceiveFile(sim.link, path("tmp.bin"));
    EXPECT_FALSE(outcome);
    EXPECT_EQ(outcome.code, XM_TIMEOUT);
    EXPECT_EQ(boxTexts(), Messages{LineMessage::TransferTimeout});
    expectReleased();
}

TEST_F(FileTransferTest, dataErrorGivesMessage22)
{
    peer.on(byte(CRC_REQUEST)).send(block(2, "out of sequence"));
    const TransferOutcome outcome = ReceiveFile(sim.link, path("tmp.bin"));
    EXPECT_EQ(outcome.code, XM_DATA_ERROR);
    EXPECT_EQ(boxTexts(), Messages{LineMessage::NoReply});
    expectReleased();
}

TEST_F(FileTransferTest, remoteCancelIsSilent)
{
    peer.on(byte(CRC_REQUEST)).send(byte(CAN) + byte(CAN));
    const TransferOutcome outcome = ReceiveFile(sim.link, path("tmp.bin"));
    EXPECT_EQ(outcome.code, XM_REMOTE_CANCEL);
    EXPECT_TRUE(sim.notices.nothingShown());
}

TEST_F(FileTransferTest, stopDuringASendIsSilentAndReleasesThePort)
{
    sim.dir.write(QStringLiteral("tmp_2.bin"), patternFile(1000));
    peer.send(byte(CRC_REQUEST));
    line.at(2000, [this] { sim.link.blnStop = true; });

    const TransferOutcome outcome = SendFile(sim.link, path("tmp_2.bin"));
    EXPECT_FALSE(outcome);
    EXPECT_EQ(outcome.code, XM_STOPPED);
    EXPECT_TRUE(sim.notices.nothingShown());
    expectReleased();
}

TEST_F(FileTransferTest, sendSetsTheBarToTheFileLengthAndClampsIt)
{
    const QByteArray data = patternFile(130);
    sim.dir.write(QStringLiteral("up.bin"), data);
    sim.link.display.setBarValue(999); // what an earlier window showed
    peer.send(byte(NAK));
    peer.on(block(1, data.left(128), Check::Checksum, '\xFF')).send(byte(ACK));
    peer.on(block(2, data.mid(128), Check::Checksum, '\xFF')).send(byte(ACK));
    peer.on(byte(EOT)).send(byte(ACK));

    EXPECT_TRUE(SendFile(sim.link, path("up.bin")));
    EXPECT_EQ(sim.view.maximum_, 130);
    EXPECT_EQ(sim.view.values, QList<qint64>({0, 128, 130}));
}

TEST_F(FileTransferTest, missingFileIsNotSentAsAnEmptyOne)
{
    const TransferOutcome outcome = SendFile(sim.link, path("missing.bin"));
    EXPECT_FALSE(outcome);
    EXPECT_EQ(outcome.failure, TransferFailure::FileCannotOpen);
    EXPECT_FALSE(QFileInfo::exists(path("missing.bin")));
    EXPECT_TRUE(line.written(0).isEmpty());
    expectReleased();
}

TEST_F(FileTransferTest, portThatCannotOpenIsAFailureWithoutMessage)
{
    sim.port().openFailure = QStringLiteral("Device or resource busy");
    const TransferOutcome outcome = ReceiveFile(sim.link, path("tmp.bin"));
    EXPECT_EQ(outcome.failure, TransferFailure::PortCannotOpen);
    EXPECT_TRUE(outcome.detail.contains(QStringLiteral("busy")));
    EXPECT_TRUE(sim.notices.nothingShown());
    EXPECT_FALSE(QFileInfo::exists(path("tmp.bin")));
    expectReleased();
}

TEST_F(FileTransferTest, deviceFailureMidTransferIsReportedReleasesFileAndPortAndKeepsTheBlocks)
{
    peer.on(byte(CRC_REQUEST)).send(block(1, "first")).on(byte(ACK));
    line.at(3000, [this] { sim.port().readFailure = QStringLiteral("device removed"); });

    const TransferOutcome outcome = ReceiveFile(sim.link, path("tmp.bin"));
    EXPECT_EQ(outcome.failure, TransferFailure::PortError);
    EXPECT_EQ(boxTexts(), Messages{LineMessage::NoReply});
    EXPECT_EQ(sim.dir.read(QStringLiteral("tmp.bin")).left(5), QByteArray("first"));
    expectReleased();
    QFile again(path("tmp.bin"));
    EXPECT_TRUE(again.open(QIODevice::ReadWrite)); // the file was closed
}

#ifdef Q_OS_LINUX
// A file size limit of one block, as a full disk would be after the first: the second block's
// write fails with the system's reason.
class OneBlockFileLimit {
public:
    OneBlockFileLimit()
    {
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit limit = m_old;
        limit.rlim_cur = kBlockSize;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~OneBlockFileLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
};

TEST_F(FileTransferTest, fileThatCannotTakeTheDataIsCancelledOnTheLineAndToldWithTheReason)
{
    peer.on(byte(CRC_REQUEST)).send(block(1, "kept")).on(byte(ACK)).send(block(2, "lost"));
    peer.on(byte(ACK)).send(byte(EOT)).on(byte(NAK)).send(byte(EOT)).on(byte(ACK));

    TransferOutcome outcome;
    {
        const OneBlockFileLimit limit;
        outcome = ReceiveFile(sim.link, path("tmp.bin"));
    }
    EXPECT_FALSE(outcome);
    EXPECT_EQ(outcome.failure, TransferFailure::FileNotWritten);
    EXPECT_TRUE(line.written(0).endsWith(QByteArray(kCancelBytes, static_cast<char>(CAN))));
    EXPECT_EQ(sim.notices.writeFailures,
              QStringList{path("tmp.bin") + QStringLiteral(": File too large")});
    EXPECT_TRUE(sim.notices.messages.isEmpty());
    expectReleased();
}
#endif

TEST_F(FileTransferTest, attachKeepsAPortAlreadyHeld)
{
    SimPort& other = line.port(1);
    XmAttachPort(sim.link, sim.port());
    XmAttachPort(sim.link, other);
    EXPECT_EQ(sim.link.xmPort, &sim.port());
    XmDetachPort(sim.link);
    EXPECT_EQ(sim.link.xmPort, nullptr);
}

} // namespace
