// kelctl command, receive and send, run as a program against a pseudo-terminal.

#include "serial/XmodemProtocol.h"
#include "support/PtyPair.h"
#include "support/QtPrinting.h"
#include "support/XmodemPackets.h"

#include <QFile>
#include <QStandardPaths>
#include <QThread>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <thread>

using namespace kel::serial;
using namespace kel::test;

namespace {

struct KelctlRun {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

class KelctlSerial : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(pty.ready()) << pty.error().toStdString();
        pty.writeFile("Setting.ini", "[OPERATION]\r\nLanguage=English\r\n"
                                     "[COM]\r\nPort=1\r\nSetting=38400,N,8,1\r\nDelimitr=0\r\n");
    }

    // Runs kelctl on the first pty while peer plays the sensor (on the second pty, or by
    // starting a program).
    KelctlRun kelctl(const QStringList& args, const std::function<void(QProcess&)>& peer = {},
                     const QString& device = {})
    {
        QProcess process;
        process.setProgram(QStringLiteral(KEL_APP_BIN_DIR "/kelctl"));
        process.setArguments(QStringList{QStringLiteral("--device"),
                                         device.isEmpty() ? pty.first() : device,
                                         QStringLiteral("--settings"), pty.file("Setting.ini")} +
                             args);
        process.setWorkingDirectory(pty.folder());
        process.start();
        EXPECT_TRUE(process.waitForStarted(5000));
        if (peer)
            peer(process);
        KelctlRun run;
        run.status = runProcess(process, 60000);
        run.out = process.readAllStandardOutput();
        run.err = process.readAllStandardError();
        return run;
    }

    PtyPair pty;
};

// The sensor answers a command line with reply.
std::function<void(QProcess&)> sensorReplies(RawTerminal& sensor, const QByteArray& expected,
                                             const QByteArray& reply)
{
    return [&sensor, expected, reply](QProcess&) {
        if (sensor.readUntil('\r') == expected)
            sensor.write(reply);
    };
}

TEST_F(KelctlSerial, commandPrintsTheReply)
{
    RawTerminal sensor(pty.second());
    const KelctlRun run =
        kelctl({"command", " VER "}, sensorReplies(sensor, "VER\r", "KEL 1.10\r"));
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, QByteArray("KEL 1.10\n"));
    EXPECT_EQ(run.err, QByteArray());
}

TEST_F(KelctlSerial, commandFailuresExitNonZeroWithTheMessage)
{
    {
        RawTerminal sensor(pty.second());
        const KelctlRun run =
            kelctl({"command", "BANKLOAD"}, sensorReplies(sensor, "BANKLOAD\r", "ER\r"));
        EXPECT_EQ(run.status, 6);
        EXPECT_EQ(run.out, QByteArray("ER\n"));
        EXPECT_TRUE(run.err.startsWith(
            "kelctl: The sensor did not accept the command \"BANKLOAD\" (the bank restore)."))
            << run.err.toStdString();
    }
    {
        const KelctlRun run =
            kelctl({"command", "M"}, {}, pty.folder() + QStringLiteral("/no-such-device"));
        EXPECT_EQ(run.status, 4);
        EXPECT_TRUE(run.err.startsWith("kelctl: The COM port cannot be opened."))
            << run.err.toStdString();
        EXPECT_TRUE(run.err.contains("no-such-device")) << run.err.toStdString();
    }
    {
        RawTerminal sensor(pty.second()); // reads nothing, answers nothing
        const KelctlRun run = kelctl({"command", "M"});
        EXPECT_EQ(run.status, 5);
        EXPECT_TRUE(run.err.startsWith("kelctl: Communication with the sensor failed."))
            << run.err.toStdString();
    }
}

TEST_F(KelctlSerial, badArgumentsAreUsageErrors)
{
    EXPECT_EQ(kelctl({"command"}).status, 2);
    EXPECT_EQ(kelctl({"receive", "a", "b"}).status, 2);
    QProcess bare;
    bare.setProgram(QStringLiteral(KEL_APP_BIN_DIR "/kelctl"));
    bare.setArguments({QStringLiteral("--device")});
    EXPECT_EQ(runProcess(bare, 10000), 2);
}

TEST_F(KelctlSerial, receiveReplacesTheFileWithWhatSxSent)
{
    ASSERT_FALSE(QStandardPaths::findExecutable(QStringLiteral("sx")).isEmpty())
        << "sx is not installed (Debian package lrzsz)";
    const QByteArray data = patternFile(1000, 3);
    pty.writeFile("send.bin", data);
    pty.writeFile("received.bin", QByteArray(5000, 'x'));
    QProcess sx;
    const KelctlRun run = kelctl({"receive", "received.bin"}, [&](QProcess&) {
        sx.setProgram(QStringLiteral("sx"));
        sx.setArguments({QStringLiteral("-q"), QStringLiteral("send.bin")});
        sx.setWorkingDirectory(pty.folder());
        sx.setStandardInputFile(pty.second());
        sx.setStandardOutputFile(pty.second());
        sx.start();
    });
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(runProcess(sx, 10000), 0);
    EXPECT_EQ(pty.readFile("received.bin"), padded(data, '\x1A'));
    EXPECT_FALSE(run.err.contains('\r')); // no progress line when stderr is no terminal
}

TEST_F(KelctlSerial, sendDeliversTheFileToRx)
{
    ASSERT_FALSE(QStandardPaths::findExecutable(QStringLiteral("rx")).isEmpty())
        << "rx is not installed (Debian package lrzsz)";
    const QByteArray data = patternFile(700, 4);
    pty.writeFile("upload.bin", data);
    QProcess rx;
    const KelctlRun run = kelctl({"send", "upload.bin"}, [&](QProcess&) {
        // rx asks at once and again only after seconds: let kelctl open the port first, since
        // opening discards what is waiting.
        QThread::msleep(500);
        rx.setProgram(QStringLiteral("socat"));
        rx.setArguments({pty.second() + QStringLiteral(",raw,echo=0"),
                         QStringLiteral("SYSTEM:rx -q -c recv.bin")});
        rx.setWorkingDirectory(pty.folder());
        rx.start();
    });
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(runProcess(rx, 10000), 0);
    EXPECT_EQ(pty.readFile("recv.bin"), padded(data, '\xFF'));
}

TEST_F(KelctlSerial, transferEndingsMapToExitStatuses)
{
    {
        RawTerminal sensor(pty.second());
        const KelctlRun run = kelctl({"receive", "r.bin"}, [&](QProcess&) {
            if (sensor.readUntil(CRC_REQUEST) == byte(CRC_REQUEST))
                sensor.write(times(8, CAN));
        });
        EXPECT_EQ(run.status, 10) << run.err.toStdString();
    }
    {
        RawTerminal sensor(pty.second());
        const KelctlRun run = kelctl({"receive", "r.bin"}, [&](QProcess&) {
            if (sensor.readUntil(CRC_REQUEST) == byte(CRC_REQUEST))
                sensor.write(block(2, "out of sequence"));
        });
        EXPECT_EQ(run.status, 8) << run.err.toStdString();
        EXPECT_TRUE(run.err.startsWith("kelctl: Communication with the sensor failed."))
            << run.err.toStdString();
    }
    {
        RawTerminal sensor(pty.second());
        const KelctlRun run = kelctl({"receive", "r.bin"}, [&](QProcess& process) {
            sensor.readUntil(CRC_REQUEST);
            ::kill(static_cast<pid_t>(process.processId()), SIGINT); // Ctrl-C is the stop button
        });
        EXPECT_EQ(run.status, 9) << run.err.toStdString();
        EXPECT_EQ(sensor.readBytes(10, 3000), times(10, CAN));
    }
    EXPECT_EQ(kelctl({"send", "missing.bin"}).status, 11);
}

} // namespace
