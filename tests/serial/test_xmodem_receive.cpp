// XMODEM receive against a scripted sender in virtual time.

#include "serial/Xmodem.h"
#include "support/ScriptedPeer.h"
#include "support/SimulatedLink.h"
#include "support/XmodemPackets.h"

#include "support/QtPrinting.h"
#include <QBuffer>

#include <gtest/gtest.h>

using namespace kel::serial;
using namespace kel::test;

namespace {

const QByteArray C = byte(CRC_REQUEST);

class ReceiveTest : public ::testing::Test {
protected:
    explicit ReceiveTest(quint32 clockStart = 0) : line(1, clockStart), sim(line)
    {
        file.open(QIODevice::ReadWrite);
        sim.holdOpenPort();
    }

    int receive() { return XmReceive(sim.link, file); }
    QByteArray ours() const { return line.written(0); }
    // What is left of the sender's script once the last answer has arrived.
    QString conversationLeft()
    {
        line.runFor(50);
        return sender.mismatch();
    }
    // When the receiver wrote each of its bytes, in ms.
    QList<quint64> writeTimes() const
    {
        QList<quint64> times;
        for (const SimulatedLine::Record& record : line.writes()) {
            if (record.fromSide == 0)
                times.append(record.time);
        }
        return times;
    }

    SimulatedLine line;
    SimulatedLink sim;
    ScriptedPeer sender{line, 1};
    QBuffer file;
};

// A sender that ends correctly after the given blocks were acknowledged.
ScriptedPeer& endWithEot(ScriptedPeer& peer)
{
    return peer.send(byte(EOT)).on(byte(NAK)).send(byte(EOT)).on(byte(ACK));
}

TEST_F(ReceiveTest, crcBlocksAreWrittenWholeAndTheSecondEotEndsTheTransfer)
{
    const QByteArray data = patternFile(200);
    sender.on(C).send(block(1, data.left(128))).on(byte(ACK)).send(block(2, data.mid(128)));
    endWithEot(sender.on(byte(ACK)));

    EXPECT_EQ(receive(), XM_SUCCESS);
    EXPECT_EQ(file.data(), padded(data, '\x1A')); // the sender's filler is kept
    EXPECT_EQ(ours(), C + byte(ACK) + byte(ACK) + byte(NAK) + byte(ACK));
    EXPECT_EQ(sim.view.readTexts, QStringList({"Received: 128 bytes", "Received: 256 bytes"}));
    EXPECT_EQ(conversationLeft(), QString());
}

// A file that takes one block and refuses the next, as a full disk does.
class FullDisk : public QBuffer {
protected:
    qint64 writeData(const char* data, qint64 length) override
    {
        if (pos() >= kBlockSize) {
            setErrorString(QStringLiteral("No space left on device"));
            return -1;
        }
        return QBuffer::writeData(data, length);
    }
};

TEST_F(ReceiveTest, aBlockThatCannotBeWrittenCancelsOnTheLineInBothModes)
{
    for (const bool crc : {true, false}) {
        SimulatedLine quiet;
        SimulatedLink other(quiet);
        other.holdOpenPort();
        ScriptedPeer peer{quiet, 1};
        const Check check = crc ? Check::Crc : Check::Checksum;
        peer.on(crc ? C : byte(NAK)).send(block(1, "kept", check));
        peer.on(byte(ACK)).send(block(2, "lost", check));
        FullDisk disk;
        disk.open(QIODevice::ReadWrite);

        EXPECT_THROW(crc ? XmReceive(other.link, disk) : XmReceiveChecksum(other.link, disk),
                     FileError)
            << crc;
        const QByteArray cancel(kCancelBytes, static_cast<char>(CAN));
        EXPECT_TRUE(quiet.written(0).endsWith(byte(ACK) + cancel)) << crc;
        EXPECT_EQ(disk.data().left(4), QByteArray("kept"));
    }
}

TEST_F(ReceiveTest, checksumOnlySenderIsReachedAfterThreeUnansweredRequests)
{
    const QByteArray data = patternFile(128);
    sender.on(C).on(C).on(C).on(byte(NAK)).send(block(1, data, Check::Checksum));
    endWithEot(sender.on(byte(ACK)));

    EXPECT_EQ(receive(), XM_SUCCESS);
    EXPECT_EQ(file.data(), data);
    EXPECT_EQ(writeTimes().mid(0, 4), QList<quint64>({0, 10000, 20000, 30000}));
    EXPECT_TRUE(sim.view.readTexts.isEmpty()); // checksum mode shows no position
    EXPECT_EQ(conversationLeft(), QString());
}

TEST_F(ReceiveTest, strayBytesBeforeTheSenderAnswersCountTowardsTheFallBack)
{
    sender.on(C).send("x").on(C).send("y").on(C).send("z").on(byte(NAK)).send(
        block(1, "ok", Check::Checksum));
    endWithEot(sender.on(byte(ACK)));

    EXPECT_EQ(receive(), XM_SUCCESS);
    EXPECT_EQ(file.data().left(2), QByteArray("ok"));
    EXPECT_EQ(line.now() < 1000, true); // no time-out was needed
}

TEST_F(ReceiveTest, repeatedBlockIsAcknowledgedAndDroppedAcrossTheBlockNumberWrap)
{
    // 256 blocks numbered 1..255, 0; the sender repeats block 1, then block 255 when 0 is due.
    const QByteArray data = patternFile(256 * 128);
    auto blockAt = [&](int index) {
        return block(static_cast<quint8>(index + 1), data.mid(index * 128, 128));
    };
    sender.on(C).send(blockAt(0)).on(byte(ACK)).send(blockAt(0));
    for (int index = 1; index < 256; ++index) {
        sender.on(byte(ACK)).send(blockAt(index));
        if (index == 254)
            sender.on(byte(ACK)).send(blockAt(254));
    }
    endWithEot(sender.on(byte(ACK)));

    EXPECT_EQ(receive(), XM_SUCCESS);
    EXPECT_EQ(file.data(), data);
    EXPECT_EQ(conversationLeft(), QString());
}

// Records each block it is handed together with what the file held there at that moment.
class RecordingObserver : public BlockObserver {
public:
    explicit RecordingObserver(const QBuffer& file) : m_file(file) {}
    void blockAccepted(qint64 offset, QByteArrayView data) override
    {
        offsets.append(offset);
        allWrittenFirst = allWrittenFirst && m_file.data().mid(offset, data.size()) == data;
    }
    QList<qint64> offsets;
    bool allWrittenFirst = true;

private:
    const QBuffer& m_file;
};

TEST_F(ReceiveTest, eachAcceptedBlockReachesTheObserverOnceAfterItIsWrittenInBothModes)
{
    const QByteArray data = patternFile(3 * 128);
    for (const bool crc : {true, false}) {
        SimulatedLine other(1);
        SimulatedLink link(other);
        link.holdOpenPort();
        QBuffer target;
        target.open(QIODevice::ReadWrite);
        RecordingObserver observer(target);
        link.link.blockObserver = &observer;
        const Check check = crc ? Check::Crc : Check::Checksum;
        ScriptedPeer peer(other, 1);
        // The second block comes twice, as after a lost ACK.
        peer.on(byte(crc ? CRC_REQUEST : NAK)).send(block(1, data.left(128), check));
        peer.on(byte(ACK)).send(block(2, data.mid(128, 128), check));
        peer.on(byte(ACK)).send(block(2, data.mid(128, 128), check));
        peer.on(byte(ACK)).send(block(3, data.mid(256), check));
        endWithEot(peer.on(byte(ACK)));

        EXPECT_EQ(crc ? XmReceive(link.link, target) : XmReceiveChecksum(link.link, target),
                  XM_SUCCESS);
        EXPECT_EQ(observer.offsets, QList<qint64>({0, 128, 256})) << crc;
        EXPECT_TRUE(observer.allWrittenFirst) << crc;
    }
}

TEST_F(ReceiveTest, blockOutOfSequenceCancelsAfterAPause)
{
    sender.on(C).send(block(1, "one")).on(byte(ACK)).send(block(3, "three"));

    EXPECT_EQ(receive(), XM_DATA_ERROR);
    EXPECT_EQ(file.data().left(3), QByteArray("one"));
    EXPECT_EQ(file.size(), 128);
    EXPECT_EQ(ours(), C + byte(ACK) + times(10, CAN));
    const QList<quint64> when = writeTimes();
    EXPECT_GE(when.last() - when.at(1), 1000u); // the pause before the CAN
}

TEST_F(ReceiveTest, oneCanIsAnsweredWithNakAndTheTransferGoesOn)
{
    sender.on(C).send(byte(CAN)).on(byte(NAK)).send(block(1, "after cancel"));
    endWithEot(sender.on(byte(ACK)));

    EXPECT_EQ(receive(), XM_SUCCESS);
    EXPECT_EQ(file.data().left(12), QByteArray("after cancel"));
}

TEST_F(ReceiveTest, twoCanEndAsRemoteCancel)
{
    sender.on(C).send(block(1, "kept")).on(byte(ACK)).send(byte(CAN)).on(byte(NAK)).send(byte(CAN));

    EXPECT_EQ(receive(), XM_REMOTE_CANCEL);
    EXPECT_EQ(file.size(), 128);
    EXPECT_EQ(ours(), C + byte(ACK) + byte(NAK)); // nothing after the second CAN
}

TEST_F(ReceiveTest, stopDuringAWaitPausesThenSendsTenCan)
{
    sender.on(C).send(block(1, "first")).on(byte(ACK));
    line.at(5000, [this] { sim.link.blnStop = true; });

    EXPECT_EQ(receive(), XM_STOPPED);
    EXPECT_EQ(file.data().left(5), QByteArray("first")); // blocks so far stay
    EXPECT_EQ(ours(), C + byte(ACK) + times(10, CAN));
    const quint64 firstCan = writeTimes().at(2);
    EXPECT_GE(firstCan, 6000u);
    EXPECT_LT(firstCan, 6000u + 2 * kWaitSliceMs);
}

// The sender's moves, one per answer of the receiver: B the next block, X the next block with
// a wrong check value, H a block with a corrupt header, R the previous block again, S a lone
// SOH, P a block cut short, T nothing (a time-out), E EOT, N CAN; G a stray byte, sent
// together with the move after it.
struct ErrorCountCase {
    const char* moves;
    int result;
    int blocksWritten;
};
void PrintTo(const ErrorCountCase& c, std::ostream* out)
{
    *out << c.moves;
}

class ErrorCountTest : public ReceiveTest, public ::testing::WithParamInterface<ErrorCountCase> {};

TEST_P(ErrorCountTest, errorsCountUntilTheirResetsAndEndAtTen)
{
    const ErrorCountCase& c = GetParam();
    const QByteArray moves(c.moves);
    qsizetype next = 0;
    quint8 number = 0;
    line.setPeer(1, [&](const QByteArray&) {
        while (next < moves.size() && moves.at(next) == 'G') {
            line.send(1, "z");
            ++next;
        }
        if (next >= moves.size())
            return;
        const QByteArray good =
            block(static_cast<quint8>(number + 1), patternFile(128, number + 1));
        switch (moves.at(next++)) {
        case 'B':
            line.send(1, good);
            ++number;
            break;
        case 'X': {
            QByteArray bad = good;
            bad[10] = static_cast<char>(bad.at(10) ^ 0x01);
            line.send(1, bad);
            break;
        }
        case 'H': {
            QByteArray bad = good;
            bad[2] = static_cast<char>(bad.at(2) ^ 0x01);
            line.send(1, bad);
            break;
        }
        case 'R':
            line.send(1, block(number, patternFile(128, number)));
            break;
        case 'S':
            line.send(1, byte(SOH));
            break;
        case 'P':
            line.send(1, good.left(60));
            break;
        case 'E':
            line.send(1, byte(EOT));
            break;
        case 'N':
            line.send(1, byte(CAN));
            break;
        default: // 'T'
            break;
        }
    });

    EXPECT_EQ(receive(), c.result) << c.moves;
    EXPECT_EQ(file.size(), c.blocksWritten * 128) << c.moves;
}

INSTANTIATE_TEST_SUITE_P(
    Table, ErrorCountTest,
    ::testing::Values(
        ErrorCountCase{"XXXXXXXXXX", XM_DATA_ERROR, 0},
        ErrorCountCase{"BHHHHHHHHHH", XM_TIMEOUT, 1},
        ErrorCountCase{"HHHHHXXXXX", XM_DATA_ERROR, 0}, ErrorCountCase{"XXXXXHHHHH", XM_TIMEOUT, 0},
        ErrorCountCase{"BTTTTTTTTTT", XM_TIMEOUT, 1}, ErrorCountCase{"BSSSSSPPPPP", XM_TIMEOUT, 1},
        // a good block does not reset the count
        ErrorCountCase{"XXXXXBXXXXX", XM_DATA_ERROR, 1},
        // a repeated block, an EOT and a CAN do
        ErrorCountCase{"XXXXXXXXXBRXXXXXXXXXBEE", XM_SUCCESS, 2},
        ErrorCountCase{"XXXXXXXXXEXXXXXXXXXBEE", XM_SUCCESS, 1},
        ErrorCountCase{"XXXXXXXXXNXXXXXXXXXBEE", XM_SUCCESS, 1},
        // time-outs count; stray bytes after the sender answered are ignored
        ErrorCountCase{"BTTTTTTTTTBEE", XM_SUCCESS, 2}, ErrorCountCase{"BGBGEGE", XM_SUCCESS, 2}));

TEST_F(ReceiveTest, tailOfAGarbledBlockIsNotTakenForEot)
{
    // The header is corrupt and the rest of the block, which holds two EOT bytes, is still on
    // the line: the NAK waits for it to pass, and the sender's repeat is received.
    QByteArray data = patternFile(128);
    data[20] = EOT;
    data[90] = EOT;
    QByteArray garbled = block(1, data);
    garbled[2] = 0x00;
    sender.on(C).send(garbled).on(byte(NAK)).send(block(1, data));
    endWithEot(sender.on(byte(ACK)));

    EXPECT_EQ(receive(), XM_SUCCESS);
    EXPECT_EQ(file.data(), data);
    EXPECT_EQ(conversationLeft(), QString());
}

TEST_F(ReceiveTest, aCanBetweenTwoEotStartsTheEotCountAgain)
{
    sender.on(C).send(block(1, "data")).on(byte(ACK)).send(byte(EOT)).on(byte(NAK));
    sender.send(byte(CAN)).on(byte(NAK)).send(byte(EOT)).on(byte(NAK));
    sender.send(byte(EOT)).on(byte(ACK));

    EXPECT_EQ(receive(), XM_SUCCESS);
    EXPECT_EQ(ours(), C + byte(ACK) + byte(NAK) + byte(NAK) + byte(NAK) + byte(ACK));
    EXPECT_EQ(conversationLeft(), QString());
}

TEST_F(ReceiveTest, aBlockThatLostItsSohIsNotTakenForTheEnd)
{
    // The third block's SOH is lost on the line: its number, complement and data, which hold
    // two EOT bytes, arrive as stray bytes. The first EOT is answered only once the line is
    // quiet, so the second one is not taken for the sender's repeated EOT.
    const QByteArray data = patternFile(384);
    QByteArray third = data.mid(256);
    third[20] = EOT;
    third[90] = EOT;
    sender.on(C).send(block(1, data.left(128))).on(byte(ACK)).send(block(2, data.mid(128, 128)));
    sender.on(byte(ACK)).send(block(3, third).mid(1)).on(byte(NAK)).send(block(3, third));
    endWithEot(sender.on(byte(ACK)));

    EXPECT_EQ(receive(), XM_SUCCESS);
    EXPECT_EQ(file.data(), data.left(256) + third);
    EXPECT_EQ(conversationLeft(), QString());
}

TEST_F(ReceiveTest, failedControlByteIsReportedAsAPortFailureAndEndsWithItsCode)
{
    sim.port().writeFailure = QStringLiteral("Input/output error");

    EXPECT_EQ(receive(), XM_SEND_FAILED);
    EXPECT_EQ(sim.notices.portFailures, QStringList{QStringLiteral("Input/output error")});
    EXPECT_TRUE(sim.notices.messages.isEmpty());
}

class NoSenderTest : public ReceiveTest, public ::testing::WithParamInterface<quint32> {
protected:
    NoSenderTest() : ReceiveTest(GetParam()) {}
};

TEST_P(NoSenderTest, threeCrcRequestsThenChecksumRequestsThenTimeoutAfter130Seconds)
{
    EXPECT_EQ(receive(), XM_TIMEOUT);
    EXPECT_EQ(ours(), times(3, CRC_REQUEST) + times(10, NAK));
    QList<quint64> expected;
    for (quint64 t = 0; t <= 120000; t += 10000)
        expected.append(t);
    EXPECT_EQ(writeTimes(), expected);
    EXPECT_EQ(line.now(), 130000u);
    EXPECT_EQ(file.size(), 0);
}

// The millisecond timer wraps during the waits when it starts just below 2^32.
INSTANTIATE_TEST_SUITE_P(ClockStarts, NoSenderTest, ::testing::Values(0u, 0xFFFFFFFFu - 15000u));

} // namespace
