// XMODEM send against a scripted receiver in virtual time.

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

class SendTest : public ::testing::Test {
protected:
    SendTest() : sim(line) { sim.holdOpenPort(); }

    int send(const QByteArray& data)
    {
        file.setData(data);
        file.open(QIODevice::ReadOnly);
        sim.link.display.setBarMaximum(data.size());
        sim.link.display.setBarValue(0);
        return XmSend(sim.link, file);
    }
    QByteArray ours() const { return line.written(0); }

    SimulatedLine line;
    SimulatedLink sim;
    ScriptedPeer receiver{line, 1};
    QBuffer file;
};

// The packets of data as this sender cuts it: 0xFF filler, block numbers from 1 wrapping.
QByteArray packetsOf(const QByteArray& data, Check check)
{
    QByteArray all;
    for (qsizetype at = 0; at < data.size(); at += 128)
        all += block(static_cast<quint8>(at / 128 + 1), data.mid(at, 128), check, '\xFF');
    return all;
}

struct FileCase {
    qsizetype size;
    quint8 request;
    int blocks;
};
void PrintTo(const FileCase& c, std::ostream* out)
{
    *out << c.size << " bytes, request " << int(c.request);
}

class SendFileShapeTest : public SendTest, public ::testing::WithParamInterface<FileCase> {};

TEST_P(SendFileShapeTest, fileIsCutIntoFilledBlocksAndEndsWithEot)
{
    const FileCase& c = GetParam();
    const QByteArray data = patternFile(c.size);
    const Check check = c.request == NAK ? Check::Checksum : Check::Crc;
    receiver.send(byte(c.request));
    for (int i = 0; i < c.blocks; ++i)
        receiver.on(block(static_cast<quint8>(i + 1), data.mid(i * 128, 128), check, '\xFF'))
            .send(byte(ACK));
    receiver.on(byte(EOT)).send(byte(ACK));

    EXPECT_EQ(send(data), XM_SUCCESS);
    EXPECT_EQ(ours(), packetsOf(data, check) + byte(EOT));
    EXPECT_EQ(receiver.mismatch(), QString());
    EXPECT_EQ(sim.link.display.barValue(), c.size); // clamped at the maximum
}

INSTANTIATE_TEST_SUITE_P(Table, SendFileShapeTest,
                         ::testing::Values(FileCase{300, CRC_REQUEST, 3}, FileCase{300, NAK, 3},
                                           FileCase{256, CRC_REQUEST, 2},
                                           FileCase{0, CRC_REQUEST, 0}, FileCase{1, NAK, 1}));

TEST_F(SendTest, blockNumbersWrapAfter255)
{
    const QByteArray data = patternFile(257 * 128);
    receiver.send(C);
    for (int i = 0; i < 257; ++i)
        receiver.on(block(static_cast<quint8>(i + 1), data.mid(i * 128, 128), Check::Crc, '\xFF'))
            .send(byte(ACK));
    receiver.on(byte(EOT)).send(byte(ACK));

    EXPECT_EQ(send(data), XM_SUCCESS);
    const QByteArray stream = ours();
    EXPECT_EQ(static_cast<quint8>(stream.at(254 * 133 + 1)), 255);
    EXPECT_EQ(static_cast<quint8>(stream.at(255 * 133 + 1)), 0);
    EXPECT_EQ(static_cast<quint8>(stream.at(256 * 133 + 1)), 1);
    EXPECT_EQ(receiver.mismatch(), QString());
}

TEST_F(SendTest, nakResendsTheSamePacketWithoutAdvancingTheBar)
{
    const QByteArray data = patternFile(200);
    const QByteArray first = block(1, data.left(128), Check::Crc, '\xFF');
    const QByteArray second = block(2, data.mid(128), Check::Crc, '\xFF');
    receiver.send(C).on(first).send(byte(NAK)).on(first).send(byte(ACK)).on(second).send(byte(ACK));
    receiver.on(byte(EOT)).send(byte(ACK));

    EXPECT_EQ(send(data), XM_SUCCESS);
    EXPECT_EQ(sim.view.values, QList<qint64>({0, 128, 200}));
    EXPECT_EQ(receiver.mismatch(), QString());
}

TEST_F(SendTest, repeatedStartRequestsAreDroppedBeforeTheBlockAndIgnoredAfterIt)
{
    const QByteArray data = patternFile(10);
    const QByteArray only = block(1, data, Check::Crc, '\xFF');
    receiver.send(C + C + C).on(only).send(C + C).send(byte(ACK), 5).on(byte(EOT)).send(byte(ACK));

    EXPECT_EQ(send(data), XM_SUCCESS);
    EXPECT_EQ(ours(), only + byte(EOT)); // the block went out once
}

// Start phase and answer phase endings. The receiver sends each opening entry 5 ms apart from
// the start, then one reply to each of the sender's writes ("" sends nothing).
struct EndingCase {
    const char* name;
    QList<QByteArray> opening;
    QList<QByteArray> replies;
    int result;
    int packetsSent;
    quint64 endsAt; // ms
};
void PrintTo(const EndingCase& c, std::ostream* out)
{
    *out << c.name;
}

class SendEndingTest : public SendTest, public ::testing::WithParamInterface<EndingCase> {};

TEST_P(SendEndingTest, endsWithTheRightCodeAfterTheRightNumberOfPackets)
{
    const EndingCase& c = GetParam();
    line.bytesPerMs = 1000; // each write arrives in one piece
    for (qsizetype i = 0; i < c.opening.size(); ++i)
        line.at(0, [&, i] { line.send(1, c.opening.at(i), 5 * i); });
    qsizetype next = 0;
    line.setPeer(1, [&](const QByteArray&) {
        if (next < c.replies.size())
            line.send(1, c.replies.at(next++));
    });

    EXPECT_EQ(send(patternFile(300)), c.result) << c.name;
    qsizetype packets = 0;
    for (const SimulatedLine::Record& record : line.writes())
        packets += record.fromSide == 0 && record.bytes.size() == 133;
    EXPECT_EQ(packets, c.packetsSent) << c.name;
    EXPECT_EQ(line.now(), c.endsAt) << c.name;
}

QList<QByteArray> repeated(int count, const QByteArray& reply)
{
    return QList<QByteArray>(count, reply);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SendEndingTest,
    ::testing::Values(
        EndingCase{"silence", {}, {}, XM_TIMEOUT, 0, 60000},
        EndingCase{"tenStrayBytes",
                   {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"},
                   {},
                   XM_DATA_ERROR,
                   0,
                   46},
        EndingCase{"twoCanAtStart", {byte(CAN) + byte(CAN)}, {}, XM_REMOTE_CANCEL, 0, 1},
        EndingCase{"tenNaks", {C}, repeated(10, byte(NAK)), XM_DATA_ERROR, 10, 21},
        EndingCase{"tenTimeouts", {C}, {}, XM_TIMEOUT, 10, 100001},
        EndingCase{"nineNaksThenATimeout", {C}, repeated(9, byte(NAK)), XM_TIMEOUT, 10, 10019},
        EndingCase{"oneCanThenSilence", {C}, {byte(CAN)}, XM_TIMEOUT, 10, 100003},
        EndingCase{"twoCanAfterABlock", {C}, {byte(CAN) + byte(CAN)}, XM_REMOTE_CANCEL, 1, 3},
        // a CAN while waiting for the answer starts the block's retries again
        EndingCase{"canBetweenNaksResetsTheRetries",
                   {C},
                   repeated(8, byte(NAK)) + QList<QByteArray>{byte(CAN) + byte(NAK)} +
                       repeated(9, byte(NAK)),
                   XM_DATA_ERROR,
                   18,
                   37}));

TEST_F(SendTest, canBetweenStrayBytesResetsTheStrayCount)
{
    // Nine stray bytes, a CAN, nine more: no ending; then the request.
    for (int i = 0; i < 9; ++i)
        receiver.send(QByteArray::number(i), 5 * i);
    receiver.send(byte(CAN), 45);
    for (int i = 0; i < 9; ++i)
        receiver.send(QByteArray::number(i), 50 + 5 * i);
    receiver.send(C, 100);
    receiver.on(block(1, "x", Check::Crc, '\xFF')).send(byte(ACK)).on(byte(EOT)).send(byte(ACK));

    EXPECT_EQ(send("x"), XM_SUCCESS);
    EXPECT_EQ(receiver.mismatch(), QString());
}

TEST_F(SendTest, stopWhileWaitingForAnAnswerCancels)
{
    receiver.send(C);
    line.at(3000, [this] { sim.link.blnStop = true; });

    EXPECT_EQ(send(patternFile(300)), XM_STOPPED);
    EXPECT_TRUE(ours().endsWith(times(10, CAN)));
    EXPECT_GE(line.now(), 4000u);
}

TEST_F(SendTest, failedPacketWriteIsReportedAsAPortFailure)
{
    receiver.send(C);
    line.at(1, [this] { sim.port().writeFailure = QStringLiteral("device gone"); });

    EXPECT_EQ(send("data"), XM_SEND_FAILED);
    EXPECT_EQ(sim.notices.portFailures, QStringList{QStringLiteral("device gone")});
}

} // namespace

namespace {

TEST(XmCrc16, publishedCheckValuesAndRanges)
{
    const QByteArray digits("123456789");
    EXPECT_EQ(XmCrc16(9, digits, 0), 0x31C3); // the XMODEM CRC's published check value
    EXPECT_EQ(XmCrc16(0, digits, 0), 0);
    EXPECT_EQ(XmCrc16(3, "xx123456789", 2), XmCrc16(3, digits, 0));
    EXPECT_EQ(XmCrc16(100, digits, 0), 0x31C3); // bytes past the end are not counted
}

} // namespace
