// One command and its reply against a simulated sensor.

#include "serial/CommandExchange.h"
#include "serial/FileTransfer.h"
#include "support/ScriptedPeer.h"
#include "support/SimulatedLink.h"
#include "support/XmodemPackets.h"

#include "support/QtPrinting.h"

#include <functional>
#include <gtest/gtest.h>

using namespace kel::serial;
using namespace kel::test;

namespace {

class CommandTest : public ::testing::Test {
protected:
    explicit CommandTest(quint32 clockStart = 0) : line(1, clockStart), sim(line) {}

    // The sensor answers a complete command line with reply, in pieces delayMs apart.
    void sensorAnswers(QList<QByteArray> pieces, quint64 delayMs = 0)
    {
        line.setPeer(1, [this, pieces, delayMs](const QByteArray& bytes) {
            received += bytes;
            if (!received.endsWith(sim.link.line.delimiter))
                return;
            for (qsizetype i = 0; i < pieces.size(); ++i)
                line.send(1, pieces.at(i), delayMs * i);
        });
    }
    Messages boxTexts() const { return sim.notices.messages; }

    SimulatedLine line;
    SimulatedLink sim;
    QByteArray received;
};

struct ReplyCase {
    const char* name;
    const char* delimiter;
    QList<QByteArray> pieces;
    QString reply;
    Messages message;
    quint64 endsAt;
};
void PrintTo(const ReplyCase& c, std::ostream* out)
{
    *out << c.name;
}

class ReplyTest : public CommandTest, public ::testing::WithParamInterface<ReplyCase> {};

TEST_P(ReplyTest, replyEndsBeforeTheDelimiter)
{
    const ReplyCase& c = GetParam();
    sim.link.line.delimiter = QByteArray(c.delimiter);
    sensorAnswers(c.pieces, 100);

    EXPECT_EQ(SendCommand(sim.link, QStringLiteral("IMGINFO 0 1")), c.reply) << c.name;
    EXPECT_EQ(received, QByteArray("IMGINFO 0 1") + c.delimiter) << c.name;
    EXPECT_EQ(boxTexts(), c.message) << c.name;
    EXPECT_EQ(line.now(), c.endsAt) << c.name;
    EXPECT_FALSE(sim.port().isOpen()) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Table, ReplyTest,
    ::testing::Values(
        ReplyCase{"cr", "\r", {"OK\r"}, "OK", {}, 4}, ReplyCase{"lf", "\n", {"OK\n"}, "OK", {}, 4},
        ReplyCase{"crLf", "\r\n", {"OK\r\n"}, "OK", {}, 5},
        ReplyCase{"crLfNeedsBoth", "\r\n", {"OK\r"}, "", Messages{LineMessage::NoReply}, 5000},
        ReplyCase{"textAfterTheDelimiterIsDropped", "\r", {"OK\rNEXT\r"}, "OK", {}, 4},
        ReplyCase{"piecesAreJoined", "\r", {"2", "5", "0\r"}, "250", {}, 204},
        ReplyCase{"replyIsNotTrimmed", "\r", {" 12 \r"}, " 12 ", {}, 5},
        ReplyCase{"lineFeedInsideACrLfReply", "\r\n", {"A\nB\r\n"}, "A\nB", {}, 6},
        ReplyCase{"emptyLineFailsAtOnce", "\r", {"\r"}, "", Messages{LineMessage::NoReply}, 4},
        ReplyCase{"errorReply", "\r", {"ER\r"}, "ER", Messages{LineMessage::SensorError}, 4},
        ReplyCase{"noReply", "\r", {}, "", Messages{LineMessage::NoReply}, 5000}));

// A line that never stops talking is no reply, and the exchange does not wait out its time-out
// collecting it; a reply as long as the longest taken still comes whole.
TEST_F(CommandTest, aLineLongerThanAnyReplyIsNoReplyAtOnce)
{
    const QByteArray longest(kLongestReply, 'A');
    sensorAnswers({longest + "\r"});
    EXPECT_EQ(SendCommand(sim.link, QStringLiteral("M")), QString::fromLatin1(longest));
    EXPECT_TRUE(boxTexts().isEmpty());

    received.clear();
    const quint64 start = line.now();
    sensorAnswers({QByteArray(4 * kLongestReply, 'x')});
    EXPECT_EQ(SendCommand(sim.link, QStringLiteral("M")), QString());
    EXPECT_EQ(boxTexts(), Messages{LineMessage::NoReply});
    EXPECT_LT(line.now() - start, quint64(kReplyTimeoutMs) / 2);
}

TEST_F(CommandTest, commandIsSentWithoutSurroundingSpacesOnly)
{
    sensorAnswers({"OK\r"});
    EXPECT_EQ(SendCommand(sim.link, QStringLiteral("  M /C\t ")), QStringLiteral("OK"));
    EXPECT_EQ(received, QByteArray("M /C\t\r"));
}

TEST_F(CommandTest, bytesWaitingBeforeTheCommandAreNotPartOfTheReply)
{
    sensorAnswers({"NEW\r"});
    ASSERT_EQ(OpenPort(sim.link), 0);
    line.send(1, "OLD\r");
    sim.port().waitForMoreInput(10);
    ASSERT_EQ(sim.port().bytesAvailable(), 4);

    EXPECT_EQ(ExchangeLine(sim.link, QStringLiteral("M")), QStringLiteral("NEW"));
}

TEST_F(CommandTest, portThatCannotOpenFailsAtOnceWithMessage21)
{
    sim.port().openFailure = QStringLiteral("No such file or directory");
    CommandOutcome outcome;

    EXPECT_EQ(SendCommand(sim.link, QStringLiteral("M"), &outcome), QString());
    EXPECT_EQ(boxTexts(), Messages{LineMessage::PortCannotOpen});
    EXPECT_EQ(outcome.failure, CommandFailure::PortCannotOpen);
    EXPECT_TRUE(outcome.detail.contains(QStringLiteral("No such file or directory")));
    EXPECT_EQ(sim.notices.details, QStringList{outcome.detail}); // told with the message
    EXPECT_EQ(line.now(), 0u);
}

TEST_F(CommandTest, settingsThePortRefusesFailWithMessage21)
{
    for (const char* settings : {"38400,N,8", "fast,N,8,1", "38400,X,8,1", "38400,N,9,1"}) {
        sim.notices.clear();
        sim.link.line.setting = QString::fromLatin1(settings);
        EXPECT_EQ(SendCommand(sim.link, QStringLiteral("M")), QString()) << settings;
        EXPECT_EQ(boxTexts(), Messages{LineMessage::PortCannotOpen}) << settings;
        EXPECT_TRUE(sim.port().opens.isEmpty()) << settings;
    }
}

TEST_F(CommandTest, portIsOpenedWithTheSettingsAndDtrRaised)
{
    sensorAnswers({"OK\r"});
    sim.link.line.setting = QStringLiteral("19200,E,7,2");
    sim.link.line.device = QStringLiteral("/dev/ttyUSB3");
    sim.link.line.port = 2;
    SendCommand(sim.link, QStringLiteral("M"));

    ASSERT_EQ(sim.port().opens.size(), 1);
    const PortOptions& options = sim.port().opens.at(0);
    EXPECT_TRUE(options.dtr);
    EXPECT_EQ(options.line, (LineSettings{19200, Parity::Even, 7, StopBits::Two}));
#ifndef Q_OS_WIN
    EXPECT_EQ(options.device, QStringLiteral("/dev/ttyUSB3"));
#endif
}

// An unplugged adapter: the device fails under the open port, before or after the line went.
TEST_F(CommandTest, deviceFailureDuringTheExchangeIsReportedAndThePortReleased)
{
    for (const bool whileWaiting : {false, true}) {
        SCOPED_TRACE(whileWaiting ? "while waiting for the reply" : "while writing the line");
        sim.notices.clear();
        sim.port().writeFailure.clear();
        sim.port().readFailure.clear();
        if (whileWaiting)
            line.at(line.now() + 100,
                    [this] { sim.port().readFailure = QStringLiteral("Input/output error"); });
        else
            sim.port().writeFailure = QStringLiteral("Input/output error");
        CommandOutcome outcome;

        EXPECT_EQ(SendCommand(sim.link, QStringLiteral("M"), &outcome), QString());
        EXPECT_EQ(boxTexts(), Messages{LineMessage::NoReply});
        EXPECT_EQ(outcome.failure, CommandFailure::RuntimeFailure);
        EXPECT_EQ(outcome.detail, QStringLiteral("Input/output error"));
        EXPECT_FALSE(sim.port().isOpen());
    }
}

TEST_F(CommandTest, portLeftOpenIsClosedBeforeTheExchange)
{
    sensorAnswers({"OK\r"});
    ASSERT_EQ(OpenPort(sim.link), 0);
    EXPECT_EQ(SendCommand(sim.link, QStringLiteral("M")), QStringLiteral("OK"));
    EXPECT_EQ(sim.port().opens.size(), 2);
}

TEST_F(CommandTest, exchangeNeverYieldsToTheEventLoop)
{
    sensorAnswers({"OK\r"}, 0);
    SendCommand(sim.link, QStringLiteral("M"));
    sensorAnswers({});
    SendCommand(sim.link, QStringLiteral("M"));
    EXPECT_EQ(sim.clock.yields, 0);
}

// A window shows a busy cursor for the length of a reply wait: every wait must end, and end
// before a box about the exchange is shown.
TEST_F(CommandTest, replyWaitEndsOnEveryPathBeforeAnyMessage)
{
    const struct {
        const char* name;
        std::function<void()> arrange;
        QStringList events;
    } cases[] = {
        {"reply", [this] { sensorAnswers({"OK\r"}); }, {"wait M", "end"}},
        {"ER", [this] { sensorAnswers({"ER\r"}); }, {"wait M", "end", "message 24"}},
        {"silence", [this] { sensorAnswers({}); }, {"wait M", "end", "message 22"}},
        {"device failure",
         [this] { sim.port().writeFailure = QStringLiteral("Input/output error"); },
         {"wait M", "end", "message 22"}},
        {"port cannot open",
         [this] { sim.port().openFailure = QStringLiteral("busy"); },
         {"message 21"}},
    };
    for (const auto& c : cases) {
        sim.notices.clear();
        sim.port().writeFailure.clear();
        sim.port().openFailure.clear();
        c.arrange();
        SendCommand(sim.link, QStringLiteral("M"));
        EXPECT_EQ(sim.notices.events, c.events) << c.name;
    }
}

// A sender that missed the ACK of its end sends EOT again once its answer time-out has passed,
// and hears no command until that EOT is acknowledged.
struct AfterReceiveCase {
    const char* name;
    bool senderRepeats; // the ACK of the end was lost
    quint64 eotAfterMs; // the repeated EOT after the command arrived
    QString reply;
    QByteArray pcWrites; // after the receive
    Messages messages;
    quint64 endsWithinMs; // of the command being sent
};
void PrintTo(const AfterReceiveCase& c, std::ostream* out)
{
    *out << c.name;
}

class AfterReceiveTest : public ::testing::TestWithParam<AfterReceiveCase> {
protected:
    AfterReceiveTest() : sim(line) {}

    SimulatedLine line;
    SimulatedLink sim;
    ScriptedPeer sensor{line, 1};
};

TEST_P(AfterReceiveTest, aRepeatedEndIsAcknowledgedAndTheCommandSentAgain)
{
    const AfterReceiveCase& c = GetParam();
    const QByteArray command = "BANKSAVE 2\r";
    sensor.on(byte(CRC_REQUEST)).send(block(1, patternFile(128))).on(byte(ACK)).send(byte(EOT));
    sensor.on(byte(NAK)).send(byte(EOT)).on(byte(ACK));
    if (c.senderRepeats)
        sensor.on(command).send(byte(EOT), c.eotAfterMs).on(byte(ACK) + command).send("OK\r");
    else if (!c.reply.isEmpty())
        sensor.on(command).send("OK\r");
    else
        sensor.on(command);
    ASSERT_TRUE(ReceiveFile(sim.link, sim.dir.file(QStringLiteral("BANK2.BNK"))));
    const qsizetype received = line.written(0).size();
    const quint64 sent = line.now();

    EXPECT_EQ(SendCommand(sim.link, QStringLiteral("BANKSAVE 2")), c.reply);
    EXPECT_EQ(line.written(0).mid(received), c.pcWrites);
    EXPECT_EQ(sim.notices.messages, c.messages);
    EXPECT_LE(line.now() - sent, c.endsWithinMs);
    line.runFor(50);
    EXPECT_EQ(sensor.mismatch(), QString());
}

INSTANTIATE_TEST_SUITE_P(
    Table, AfterReceiveTest,
    ::testing::Values(AfterReceiveCase{"repeatedAfterTheReplyWait",
                                       true,
                                       9990,
                                       "OK",
                                       "BANKSAVE 2\r\x06"
                                       "BANKSAVE 2\r",
                                       {},
                                       10200},
                      AfterReceiveCase{"repeatedDuringTheReplyWait",
                                       true,
                                       3000,
                                       "OK",
                                       "BANKSAVE 2\r\x06"
                                       "BANKSAVE 2\r",
                                       {},
                                       5200},
                      AfterReceiveCase{"answeredAtOnce", false, 0, "OK", "BANKSAVE 2\r", {}, 50},
                      AfterReceiveCase{"silentWithoutARepeat", false, 0, "", "BANKSAVE 2\r",
                                       Messages{LineMessage::NoReply}, 12000}));

class WrappingClockTest : public CommandTest {
protected:
    WrappingClockTest() : CommandTest(0xFFFFFFFFu - 2000u) {}
};

TEST_F(WrappingClockTest, timeoutIsFiveSecondsAcrossTheTimerWrap)
{
    EXPECT_EQ(SendCommand(sim.link, QStringLiteral("M")), QString());
    EXPECT_EQ(line.now(), 5000u);
}

} // namespace
