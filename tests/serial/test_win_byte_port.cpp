// The Win32 byte port against two COM ports joined as a null-modem pair. Under Wine the test
// command links dosdevices/com10 and com11 to the two ends of a socat pty pair and names them in
// KEL_WIN_PORT_PAIR ("COM10,COM11"); without it the tests are skipped.

#include "serial/WinBytePort.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QStringList>

#include <gtest/gtest.h>
#include <thread>

using namespace kel::serial;

namespace {

class WinBytePortTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const QStringList pair = qEnvironmentVariable("KEL_WIN_PORT_PAIR").split(QLatin1Char(','));
        if (pair.size() != 2)
            GTEST_SKIP() << "KEL_WIN_PORT_PAIR names no pair of COM ports";
        QString error;
        for (int i = 0; i < 2; ++i) {
            ports[i].setWarningHandler([this, i](const QString&) { ++warnings[i]; });
            ASSERT_TRUE(
                ports[i].open({pair[i], {38400, Parity::None, 8, StopBits::One}, false}, &error))
                << error.toStdString();
        }
        names = pair;
    }

    // Waits up to ms for count bytes to be buffered at port.
    static void waitFor(WinBytePort& port, qint64 count, int ms = 3000)
    {
        QDeadlineTimer deadline(ms);
        while (port.bytesAvailable() < count && !deadline.hasExpired())
            port.waitForMoreInput(int(deadline.remainingTime()));
    }

    static QByteArray receive(WinBytePort& port, qint64 count)
    {
        waitFor(port, count);
        return port.readAll();
    }

    WinBytePort ports[2];
    QStringList names;
    int warnings[2] = {0, 0};
};

TEST_F(WinBytePortTest, bytesCrossBothWaysAndAreReadInOrder)
{
    QByteArray all;
    for (int i = 0; i < 256; ++i)
        all.append(char(i));
    ports[0].write(all);
    ports[1].write("reply\r");
    EXPECT_EQ(receive(ports[0], 6), QByteArray("reply\r"));

    waitFor(ports[1], all.size());
    EXPECT_EQ(ports[1].read(1), all.left(1));
    EXPECT_EQ(ports[1].read(3), all.mid(1, 3));
    EXPECT_EQ(ports[1].readAll(), all.mid(4));
    EXPECT_EQ(ports[1].readAll(), QByteArray());
}

TEST_F(WinBytePortTest, waitEndsWhenBytesArriveOrAfterItsTime)
{
    QElapsedTimer timer;
    timer.start();
    ports[1].waitForMoreInput(300);
    const qint64 idle = timer.elapsed();
    EXPECT_GE(idle, 250);
    EXPECT_LT(idle, 1500);

    std::thread writer([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        ports[0].write("x");
    });
    timer.restart();
    ports[1].waitForMoreInput(5000);
    const qint64 woken = timer.elapsed();
    writer.join();
    EXPECT_LT(woken, 2000);
    EXPECT_EQ(receive(ports[1], 1), QByteArray("x"));
}

TEST_F(WinBytePortTest, discardDropsWhatArrived)
{
    ports[0].write("stale");
    waitFor(ports[1], 5);
    ports[1].discardInput();
    EXPECT_EQ(ports[1].bytesAvailable(), 0);
    ports[0].write("fresh");
    EXPECT_EQ(receive(ports[1], 5), QByteArray("fresh"));
}

TEST_F(WinBytePortTest, opensAreRefusedWhereTheyShouldBe)
{
    QString error;
    EXPECT_FALSE(ports[0].open({names[0], {}, false}, &error)) << "already open";
    WinBytePort missing;
    EXPECT_FALSE(missing.open({QStringLiteral("COM250"), {}, false}, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(missing.isOpen());
    EXPECT_THROW(missing.readAll(), PortError);
}

TEST_F(WinBytePortTest, refusedDtrIsToldOnceAndTheLineStillWorks)
{
    QString error;
    for (const bool dtr : {true, false, true}) {
        ports[0].close();
        ASSERT_TRUE(ports[0].open({names[0], {9600, Parity::None, 8, StopBits::One}, dtr}, &error))
            << error.toStdString();
    }
    EXPECT_LE(warnings[0], 1); // once per port object, if the port refuses DTR at all
    ports[0].write("ok");
    EXPECT_EQ(receive(ports[1], 2).size(), 2);
}

} // namespace
