// Interoperability with an independent XMODEM implementation (lrzsz's sx and rx) over a
// pseudo-terminal pair, in CRC and checksum mode, both directions.

#include "serial/FileTransfer.h"
#include "serial/QtBytePort.h"
#include "serial/SystemClock.h"
#include "serial/Xmodem.h"
#include "support/PtyPair.h"
#include "support/QtPrinting.h"
#include "support/SimulatedLink.h"
#include "support/XmodemPackets.h"

#include <QBuffer>
#include <QFile>
#include <QStandardPaths>
#include <gtest/gtest.h>

using namespace kel::serial;
using namespace kel::test;

namespace {

enum class Direction { OursReceives, OursSends };

struct InteropCase {
    Direction direction;
    Check check;
    qsizetype size;
};

void PrintTo(const InteropCase& c, std::ostream* out)
{
    *out << (c.direction == Direction::OursReceives ? "sx to us" : "us to rx") << ", "
         << (c.check == Check::Crc ? "CRC" : "checksum") << ", " << c.size << " bytes";
}

class LrzszInterop : public ::testing::TestWithParam<InteropCase> {
protected:
    void SetUp() override
    {
        for (const char* tool : {"sx", "rx", "socat"}) {
            ASSERT_FALSE(QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
                << tool << " is not installed (Debian packages lrzsz and socat)";
        }
        ASSERT_TRUE(pty.ready()) << pty.error().toStdString();
        link.line.device = pty.second();
    }

    PtyPair pty;
    RecordingNotices notices;
    QtBytePort port;
    SystemClock clock;
    SerialLink link{notices, port, clock};
};

TEST_P(LrzszInterop, fileArrivesWholePaddedToBlocks)
{
    const InteropCase& c = GetParam();
    const QByteArray data = patternFile(c.size, static_cast<quint32>(c.size));
    pty.writeFile("send.bin", data);
    XmAttachPort(link, port);
    XmOpenPort(link, link.line); // before the peer starts: nothing is lost

    if (c.direction == Direction::OursReceives) {
        QProcess sx;
        sx.setProgram(QStringLiteral("sx"));
        sx.setArguments({QStringLiteral("-q"), QStringLiteral("send.bin")});
        sx.setWorkingDirectory(pty.folder());
        sx.setStandardInputFile(pty.first());
        sx.setStandardOutputFile(pty.first());
        sx.start();
        QBuffer target;
        target.open(QIODevice::ReadWrite);
        const int code =
            c.check == Check::Crc ? XmReceive(link, target) : XmReceiveChecksum(link, target);
        XmClosePort(link);
        EXPECT_EQ(code, XM_SUCCESS);
        EXPECT_EQ(runProcess(sx, 20000), 0);
        EXPECT_EQ(target.data(), padded(data, '\x1A'));
    } else {
        // rx runs behind socat: its stdout is then a pipe, and its flush at exit cannot throw
        // away its last answer before it has left.
        QProcess rx;
        rx.setProgram(QStringLiteral("socat"));
        const QString command = c.check == Check::Crc ? QStringLiteral("rx -q -c recv.bin")
                                                      : QStringLiteral("rx -q recv.bin");
        rx.setArguments({pty.first() + QStringLiteral(",raw,echo=0"),
                         QStringLiteral("SYSTEM:%1; echo $? > rxrc").arg(command)});
        rx.setWorkingDirectory(pty.folder());
        rx.start();
        QFile source(pty.file("send.bin"));
        ASSERT_TRUE(source.open(QIODevice::ReadOnly));
        const int code = XmSend(link, source);
        XmClosePort(link);
        EXPECT_EQ(code, XM_SUCCESS);
        EXPECT_EQ(runProcess(rx, 20000), 0);
        EXPECT_EQ(pty.readFile("rxrc").trimmed(), QByteArray("0"));
        EXPECT_EQ(pty.readFile("recv.bin"), padded(data, '\xFF'));
    }
    XmDetachPort(link);
}

std::vector<InteropCase> allCases()
{
    std::vector<InteropCase> cases;
    for (const Direction direction : {Direction::OursReceives, Direction::OursSends}) {
        for (const Check check : {Check::Crc, Check::Checksum}) {
            for (const qsizetype size : {0, 1, 128, 300, 219458})
                cases.push_back({direction, check, size});
        }
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Matrix, LrzszInterop, ::testing::ValuesIn(allCases()));

} // namespace
