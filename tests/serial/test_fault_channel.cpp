// Our sender and our receiver over a line that flips bits, drops bytes and loses answers:
// every transfer either delivers the exact file or reports a failure.

#include "serial/Xmodem.h"
#include "support/SimulatedLink.h"
#include "support/XmodemPackets.h"

#include "support/QtPrinting.h"
#include <QBuffer>

#include <gtest/gtest.h>
#include <random>
#include <thread>

using namespace kel::serial;
using namespace kel::test;

namespace {

struct Faults {
    double flipPerByte; // a random bit of a byte changes
    double dropPerByte; // a byte vanishes
    double loseAnswer;  // an answer of the receiver (ACK, NAK, "C") vanishes
};

struct Ending {
    int sent = -1;
    int received = -1;
    QByteArray file;
    QString failure;
};

Ending transferOver(const QByteArray& data, const Faults& faults, quint32 seed)
{
    SimulatedLine line(2);
    std::mt19937 toReceiver(seed);
    std::mt19937 toSender(seed ^ 0x5bd1e995u);
    line.fault = [&](int fromSide, quint64, char byte) -> std::optional<char> {
        std::mt19937& random = fromSide == 0 ? toReceiver : toSender;
        std::uniform_real_distribution<double> chance(0.0, 1.0);
        if (fromSide == 1 && chance(random) < faults.loseAnswer)
            return std::nullopt;
        if (chance(random) < faults.dropPerByte)
            return std::nullopt;
        if (chance(random) < faults.flipPerByte)
            return static_cast<char>(byte ^ (1 << (random() % 8)));
        return byte;
    };
    SimulatedLink sender(line, 0);
    SimulatedLink receiver(line, 1);
    sender.holdOpenPort();
    receiver.holdOpenPort();
    // Nobody presses stop here: long slices spare the threads a hand-over every 10 ms.
    sender.link.waitSliceMs = 1000;
    receiver.link.waitSliceMs = 1000;
    QBuffer source;
    source.setData(data);
    source.open(QIODevice::ReadOnly);
    QBuffer target;
    target.open(QIODevice::ReadWrite);

    Ending ending;
    auto run = [&](SimulatedLink& side, int& result, auto transfer) {
        try {
            result = transfer();
        } catch (const std::exception& error) {
            ending.failure = QString::fromUtf8(error.what());
        }
        // Either side may end first; the other must not wait on it forever.
        side.port().close();
        line.finished();
    };
    std::thread sending(
        [&] { run(sender, ending.sent, [&] { return XmSend(sender.link, source); }); });
    std::thread receiving(
        [&] { run(receiver, ending.received, [&] { return XmReceive(receiver.link, target); }); });
    sending.join();
    receiving.join();
    ending.file = target.data();
    return ending;
}

TEST(FaultChannel, everyTransferDeliversTheExactFileOrReportsFailure)
{
    const Faults levels[] = {{0.0005, 0.0005, 0.02}, {0.002, 0.001, 0.05}, {0.01, 0.005, 0.1}};
    int received = 0;
    int failed = 0;
    for (quint32 seed = 1; seed <= 60; ++seed) {
        const QByteArray data = patternFile(640 + 97 * (seed % 7), seed);
        const Ending ending = transferOver(data, levels[seed % 3], seed);
        ASSERT_TRUE(ending.failure.isEmpty()) << seed << ": " << ending.failure.toStdString();
        if (ending.received == XM_SUCCESS) {
            EXPECT_EQ(ending.file, padded(data, '\xFF')) << "seed " << seed;
            ++received;
        } else {
            ++failed;
            EXPECT_NE(ending.sent, XM_SUCCESS)
                << "sender reports success to a failed receive, seed " << seed;
        }
    }
    // The faults must have been strong enough to end some transfers, and weak enough to let
    // most of them through, or the test proves nothing.
    EXPECT_GT(received, 30);
    EXPECT_GT(failed, 0);
}

TEST(FaultChannel, cleanLineDeliversEveryByte)
{
    const QByteArray data = patternFile(5000, 7);
    const Ending ending = transferOver(data, {0, 0, 0}, 1);
    EXPECT_EQ(ending.sent, XM_SUCCESS);
    EXPECT_EQ(ending.received, XM_SUCCESS);
    EXPECT_EQ(ending.file, padded(data, '\xFF'));
}

} // namespace
