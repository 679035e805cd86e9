// The sensor's side of file transfers: its receiver against the PC's sender on a line in
// virtual time, and the byte faults between the transfers and the port.

#include "FaultyPort.h"
#include "SensorReceive.h"

#include "serial/Xmodem.h"
#include "support/QtPrinting.h"
#include "support/SimulatedLink.h"
#include "support/XmodemPackets.h"

#include <QBuffer>
#include <gtest/gtest.h>
#include <random>
#include <thread>

using namespace kel::serial;
using namespace kel::sim;
using namespace kel::test;

namespace {

struct Upload {
    int pcResult = -1;
    ReceiveResult sensor;
    QByteArray sensorWrote;
};

// The PC sends data on side 0 while the sensor receives on side 1.
Upload upload(const QByteArray& data, const ReceiveOptions& options,
              std::function<std::optional<char>(int, quint64, char)> fault = {},
              quint64 pcStartsAtMs = 0)
{
    SimulatedLine line(2);
    line.fault = std::move(fault);
    SimulatedLink pc(line, 0);
    SimulatedLink sensor(line, 1);
    pc.holdOpenPort();
    sensor.holdOpenPort();
    pc.link.waitSliceMs = 1000;
    sensor.link.waitSliceMs = 1000;
    QBuffer file;
    file.setData(data);
    file.open(QIODevice::ReadOnly);

    Upload result;
    auto finish = [&](SimulatedLink& side) {
        side.port().close(); // the other side must not wait on a finished one
        line.finished();
    };
    std::thread pcThread([&] {
        if (pcStartsAtMs > 0) { // the PC opens its port late: what came before is gone
            line.runFor(pcStartsAtMs);
            pc.port().discardInput();
        }
        result.pcResult = XmSend(pc.link, file);
        finish(pc);
    });
    std::thread sensorThread([&] {
        result.sensor = receiveFile(sensor.link, options);
        finish(sensor);
    });
    pcThread.join();
    sensorThread.join();
    result.sensorWrote = line.written(1);
    return result;
}

struct ReceiveCase {
    qsizetype size;
    bool checksumOnly;
};

TEST(KelsimReceive, takesWhatThePcSendsInEitherCheckMode)
{
    const ReceiveCase cases[] = {{0, false},   {1, false},
                                 {128, false}, {300, true},
                                 {5000, true}, {300 * 128 + 5, false}}; // past block 255
    for (const ReceiveCase& c : cases) {
        const QByteArray data = patternFile(c.size, static_cast<quint32>(c.size));
        const Upload done = upload(data, {c.checksumOnly, 500, 60000, 0});
        EXPECT_EQ(done.pcResult, XM_SUCCESS) << c.size;
        EXPECT_EQ(done.sensor.code, XM_SUCCESS) << c.size;
        EXPECT_EQ(done.sensor.data, padded(data, '\xFF')) << c.size;
        EXPECT_EQ(done.sensorWrote.at(0), char(c.checksumOnly ? NAK : CRC_REQUEST)) << c.size;
    }
}

TEST(KelsimReceive, keepsAskingUntilThePcListens)
{
    // The PC opens its port 1.7 s after the reply; requests every 500 ms reach it at 2 s.
    const QByteArray data = patternFile(400, 9);
    const Upload done = upload(data, {false, 500, 60000, 0}, {}, 1700);
    EXPECT_EQ(done.pcResult, XM_SUCCESS);
    EXPECT_EQ(done.sensor.data, padded(data, '\xFF'));
    EXPECT_EQ(done.sensorWrote.count(char(CRC_REQUEST)), 5);
}

TEST(KelsimReceive, givesUpWhenNobodySends)
{
    SimulatedLine line;
    SimulatedLink sensor(line, 0);
    sensor.holdOpenPort();
    const ReceiveResult result = receiveFile(sensor.link, {true, 1000, 5000, 0});
    EXPECT_EQ(result.code, XM_TIMEOUT);
    EXPECT_EQ(line.written(0), times(5, NAK));
}

TEST(KelsimReceive, cancelFaultRefusesTheBlockAfterTheLimit)
{
    const QByteArray data = patternFile(1000, 3);
    const Upload done = upload(data, {false, 500, 60000, 2});
    EXPECT_EQ(done.sensor.code, XM_STOPPED);
    EXPECT_EQ(done.sensor.blocks, 2);
    EXPECT_EQ(done.sensor.data, data.left(256));
    EXPECT_EQ(done.pcResult, XM_REMOTE_CANCEL);
}

TEST(KelsimReceive, aNoisyLineDeliversTheExactFileOrFailsOnBothSides)
{
    int delivered = 0;
    for (quint32 seed = 1; seed <= 24; ++seed) {
        std::mt19937 random(seed);
        auto noise = [&random](int, quint64, char byte) -> std::optional<char> {
            std::uniform_real_distribution<double> chance(0.0, 1.0);
            if (chance(random) < 0.002)
                return std::nullopt;
            if (chance(random) < 0.004)
                return static_cast<char>(byte ^ (1 << (random() % 8)));
            return byte;
        };
        const QByteArray data = patternFile(3000 + 111 * seed, seed);
        // CRC blocks: an 8-bit checksum lets about one damaged block in a hundred through at
        // this noise, which is that check's weakness, not the receiver's.
        const Upload done = upload(data, {false, 500, 60000, 0}, noise);
        if (done.sensor.code == XM_SUCCESS) {
            EXPECT_EQ(done.sensor.data, padded(data, '\xFF')) << "seed " << seed;
            ++delivered;
        } else {
            EXPECT_NE(done.pcResult, XM_SUCCESS) << "seed " << seed;
        }
    }
    EXPECT_GT(delivered, 12);
}

// ---- Byte faults.

class RecordingPort : public BytePort {
public:
    bool open(const PortOptions&, QString*) override { return true; }
    void close() override { closed = true; }
    bool isOpen() const override { return !closed; }
    qint64 bytesAvailable() override { return input.size(); }
    void discardInput() override { input.clear(); }
    QByteArray readAll() override { return std::exchange(input, {}); }
    QByteArray read(qint64 count) override
    {
        const QByteArray bytes = input.left(count);
        input.remove(0, bytes.size());
        return bytes;
    }
    void write(const QByteArray& bytes) override { written += bytes; }
    void waitForMoreInput(int) override {}

    QByteArray input;
    QByteArray written;
    bool closed = false;
};

class KelsimFaultyPort : public ::testing::Test {
protected:
    FaultyPort& faulty(const ByteFaults& faults)
    {
        port = std::make_unique<FaultyPort>(inner, faults, stop);
        return *port;
    }

    RecordingPort inner;
    std::atomic<bool> stop{false};
    std::unique_ptr<FaultyPort> port;
};

TEST_F(KelsimFaultyPort, outsideTransfersNothingIsTouched)
{
    FaultyPort& p = faulty({100, 0, 1, true, 1});
    p.write("OK\r");
    inner.input = "IMGSAVE 0\rC";
    EXPECT_EQ(inner.written, "OK\r");
    EXPECT_EQ(p.readAll(), "IMGSAVE 0\rC");
}

TEST_F(KelsimFaultyPort, corruptAltersOneBitOfEveryChosenByteAndDropLosesThem)
{
    const QByteArray sent = patternFile(2000, 5);
    FaultyPort& corrupting = faulty({100, 0, 1, false, 0});
    corrupting.setMode(FaultyPort::Mode::Receiving);
    corrupting.write(sent);
    ASSERT_EQ(inner.written.size(), sent.size());
    for (qsizetype i = 0; i < sent.size(); ++i) {
        const auto changed = static_cast<quint8>(inner.written[i] ^ sent[i]);
        EXPECT_EQ(std::popcount(changed), 1) << i;
    }

    inner.written.clear();
    FaultyPort& dropping = faulty({0, 25, 7, false, 0});
    dropping.setMode(FaultyPort::Mode::Sending);
    dropping.write(sent);
    EXPECT_NEAR(inner.written.size(), sent.size() * 0.75, sent.size() * 0.05);
}

TEST_F(KelsimFaultyPort, ignoringCHidesOnlyTheRequestAndOnlyFromASender)
{
    FaultyPort& p = faulty({0, 0, 1, true, 0});
    p.setMode(FaultyPort::Mode::Sending);
    inner.input = byte(CRC_REQUEST) + byte(NAK) + byte(CRC_REQUEST) + byte(ACK);
    EXPECT_EQ(p.bytesAvailable(), 2);
    EXPECT_EQ(p.readAll(), byte(NAK) + byte(ACK));
    p.setMode(FaultyPort::Mode::Receiving);
    inner.input = byte(CRC_REQUEST);
    EXPECT_EQ(p.readAll(), byte(CRC_REQUEST));
}

TEST_F(KelsimFaultyPort, cancelFaultStopsTheSendInsteadOfTheBlockPastTheLimit)
{
    FaultyPort& p = faulty({0, 0, 1, false, 2});
    p.setMode(FaultyPort::Mode::Sending);
    const QByteArray one = block(1, "one");
    const QByteArray two = block(2, "two");
    p.write(one);
    p.write(one); // a repeat after a NAK is no new block
    p.write(two);
    EXPECT_FALSE(stop);
    p.write(block(3, "three"));
    EXPECT_TRUE(stop);
    EXPECT_TRUE(p.cancelledSend());
    p.write(times(10, CAN)); // the sender's own cancel still goes out
    EXPECT_EQ(inner.written, one + one + two + times(10, CAN));
}

TEST_F(KelsimFaultyPort, loseTakesBytesFromWhatArrivesDuringTransfersOnly)
{
    const QByteArray sent = patternFile(2000, 3);
    FaultyPort& p = faulty({.seed = 3, .losePercent = 25});
    inner.input = sent;
    EXPECT_EQ(p.readAll(), sent); // between transfers the line is clean
    p.setMode(FaultyPort::Mode::Sending);
    inner.input = sent;
    const QByteArray kept = p.readAll();
    EXPECT_NEAR(kept.size(), sent.size() * 0.75, sent.size() * 0.05);
    p.write(sent); // what the sensor sends is not touched by lose
    EXPECT_EQ(inner.written, sent);
}

// An unplugged sensor: the line closes in the middle of a transfer's bytes, and every use of
// the port after that fails the way a vanished device does.
TEST_F(KelsimFaultyPort, hangUpClosesTheLineAfterTheChosenNumberOfTransferBytes)
{
    FaultyPort& p = faulty({.hangUpAfterBytes = 200});
    p.write("OK\r"); // a reply is no transfer
    p.setMode(FaultyPort::Mode::Sending);
    inner.input = byte(CRC_REQUEST);
    EXPECT_EQ(p.readAll(), byte(CRC_REQUEST));
    p.write(block(1, "one"));
    EXPECT_THROW(p.write(block(2, "two")), PortError);
    EXPECT_EQ(inner.written, "OK\r" + block(1, "one") + block(2, "two").left(200 - 1 - 133));
    EXPECT_TRUE(inner.closed);
    EXPECT_TRUE(p.hungUp());
    EXPECT_FALSE(p.isOpen());
    EXPECT_THROW(p.readAll(), PortError);
    EXPECT_THROW(p.waitForMoreInput(10), PortError);
    QString error;
    EXPECT_FALSE(p.open({}, &error));
    EXPECT_FALSE(error.isEmpty());
}

} // namespace
