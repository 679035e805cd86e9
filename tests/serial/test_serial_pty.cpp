// The QSerialPort layer on pseudo-terminals, in real time.

#include "serial/CommandExchange.h"
#include "serial/QtBytePort.h"
#include "serial/SystemClock.h"
#include "support/PtyPair.h"
#include "support/SimulatedLink.h"

#include "support/QtPrinting.h"
#include <QElapsedTimer>
#include <QThread>

#include <gtest/gtest.h>
#include <memory>
#include <thread>

using namespace kel::serial;
using namespace kel::test;

namespace {

class PtyTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(pty.ready()) << pty.error().toStdString(); }
    PtyPair pty;
};

TEST_F(PtyTest, openSucceedsAlthoughThePtyRefusesParityDataBitsAndDtr)
{
    QtBytePort port;
    QString error;
    for (const bool dtr : {true, false}) {
        ASSERT_TRUE(port.open({pty.first(), {19200, Parity::Even, 7, StopBits::Two}, dtr}, &error))
            << error.toStdString();
        EXPECT_TRUE(port.isPseudoTerminal());
        port.close();
    }
}

TEST_F(PtyTest, missingDeviceFailsTheOpenWithTheSystemsReason)
{
    QtBytePort port;
    QString error;
    EXPECT_FALSE(port.open({pty.folder() + QStringLiteral("/none"), {}, true}, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(port.isOpen());
}

TEST_F(PtyTest, bytesCrossTheLineAndDiscardDropsThem)
{
    QtBytePort port;
    QString error;
    ASSERT_TRUE(port.open({pty.first(), {}, false}, &error));
    RawTerminal far(pty.second());
    far.write("stale");
    port.waitForMoreInput(1000);
    QThread::msleep(50);
    port.discardInput();
    EXPECT_EQ(port.bytesAvailable(), 0);

    far.write("abcdef");
    QElapsedTimer timer;
    timer.start();
    while (port.bytesAvailable() < 6 && timer.elapsed() < 2000)
        port.waitForMoreInput(100);
    EXPECT_EQ(port.read(4), QByteArray("abcd"));
    EXPECT_EQ(port.readAll(), QByteArray("ef"));
    port.write("xyz\r");
    EXPECT_EQ(far.readUntil('\r'), QByteArray("xyz\r"));
}

TEST_F(PtyTest, commandExchangeOverAPty)
{
    RecordingNotices notices;
    QtBytePort port;
    SystemClock clock;
    SerialLink link(notices, port, clock);
    link.line.delimiter = QByteArrayLiteral("\r\n");
    link.line.device = pty.first();

    RawTerminal sensor(pty.second());
    std::thread answering([&] {
        if (sensor.readUntil('\n') == "DATAGET 2 0\r\n") {
            sensor.write("+00");
            QThread::msleep(30);
            sensor.write("12.5\r\nrest");
        }
    });
    EXPECT_EQ(SendCommand(link, QStringLiteral(" DATAGET 2 0 ")), QStringLiteral("+0012.5"));
    answering.join();
    EXPECT_TRUE(notices.nothingShown());
    EXPECT_FALSE(port.isOpen());
}

TEST(PtyGone, deviceGoneDuringAWaitIsAPortError)
{
    auto pty = std::make_unique<PtyPair>();
    ASSERT_TRUE(pty->ready()) << pty->error().toStdString();
    QtBytePort port;
    QString error;
    ASSERT_TRUE(port.open({pty->first(), {}, false}, &error));
    pty.reset(); // socat ends and takes the far side away
    auto waitLong = [&] {
        for (int i = 0; i < 100; ++i) {
            port.waitForMoreInput(20);
            port.bytesAvailable();
        }
    };
    EXPECT_THROW(waitLong(), PortError);
}

} // namespace
