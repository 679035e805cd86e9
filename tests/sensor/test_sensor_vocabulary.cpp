// The sensor's vocabulary, the application's side of the line, and a command followed by its
// transfer.

#include "sensor/CommandTransfer.h"
#include "sensor/CoreLine.h"
#include "sensor/SensorProtocol.h"
#include "serial/DeviceNames.h"
#include "serial/Xmodem.h"
#include "support/ScriptedPeer.h"
#include "support/ScriptedPrompter.h"
#include "support/SimulatedLink.h"
#include "support/XmodemPackets.h"

#include <gtest/gtest.h>

using namespace kel;
using namespace kel::serial;
using namespace kel::test;

namespace {

TEST(SensorVocabulary, sizeCodesAndResultCodesNameWhatTheSensorMeans)
{
    EXPECT_EQ(sensor::rowsOfSizeCode(0), 432);
    EXPECT_EQ(sensor::rowsOfSizeCode(1), 216);
    EXPECT_EQ(sensor::rowsOfSizeCode(2), 108);
    for (int code : {-1, 3, 5})
        EXPECT_EQ(sensor::rowsOfSizeCode(code), std::nullopt) << code;
    EXPECT_EQ(sensor::resultLabelOf(QStringLiteral("-2")), LabelResultError);
    EXPECT_EQ(sensor::resultLabelOf(QStringLiteral("-1")), LabelResultNg);
    EXPECT_EQ(sensor::resultLabelOf(QStringLiteral("0")), LabelResultOk);
    for (const char* code : {" 0", "1", "ER", ""})
        EXPECT_EQ(sensor::resultLabelOf(QLatin1String(code)), std::nullopt) << code;
}

TEST(CoreLine, theLineIsConfiguredFromTheSettingsAndToldThroughTheMessageFiles)
{
    TempAppDir dir;
    dir.addLanguageFiles();
    ScriptedPrompter prompter;
    AppCore core(dir.paths(), prompter);
    core.lngLanguage = LanguageEnglish;
    core.iComPort = 3;
    core.strComDevice = QStringLiteral("/dev/ttyUSB1");
    core.strComSetting = QStringLiteral("9600,E,7,2");
    core.strDelimiter = QStringLiteral("\r\n");

    const LineConfig config = lineConfigOf(core);
    EXPECT_EQ(config.port, 3);
    EXPECT_EQ(config.device, QStringLiteral("/dev/ttyUSB1"));
    EXPECT_EQ(config.setting, QStringLiteral("9600,E,7,2"));
    EXPECT_EQ(config.delimiter, QByteArray("\r\n"));

    CoreLineNotices notices(core);
    EXPECT_TRUE(notices.showMessage(LineMessage::NoReply));
    notices.showPortFailure(QStringLiteral("Input/output error"));
    ASSERT_EQ(prompter.boxes.size(), 2);
    EXPECT_EQ(
        prompter.boxes[0].text,
        core.GetMessageText(kSectionMessage, MsgNoReply).section(QLatin1Char('@'), 0, 0).trimmed());
    EXPECT_EQ(prompter.boxes[1].text, QStringLiteral("Input/output error"));
    EXPECT_EQ(prompter.boxes[1].style, kStyleCriticalOk);
    EXPECT_EQ(prompter.boxes[1].title, QStringLiteral("エラー"));
    EXPECT_EQ(notices.receiveCaption().before, core.GetMessageText(kSectionLabel, 4));
}

TEST(CoreLine, aPortThatCannotOpenIsToldWithTheDeviceAndTheReasonInTheWindowsLanguage)
{
    TempAppDir dir;
    dir.addLanguageFiles();
    ScriptedPrompter prompter;
    AppCore core(dir.paths(), prompter);
    CoreLineNotices notices(core);
    SimulatedLine line;
    SimClock clock(line);
    SerialLink link(notices, line.port(0), clock);
    link.line.port = 7;
    link.line.device = QStringLiteral("/dev/ttyUSB7");
    line.port(0).openFailure = QStringLiteral("Permission denied");
    // Windows names the port by its number and ignores the device path.
    const QString device = deviceForPort(link.line.port, link.line.device);

    const struct {
        Language language;
        const char* details;
    } cases[] = {{LanguageEnglish, "Details: "}, {LanguageJapanese, "詳細: "}};
    for (const auto& c : cases) {
        core.lngLanguage = c.language;
        prompter.boxes.clear();
        EXPECT_EQ(SendCommand(link, QStringLiteral("M")), QString());
        ASSERT_EQ(prompter.boxes.size(), 1);
        const QString message21 = core.GetMessageText(kSectionMessage, MsgPortCannotOpen)
                                      .section(QLatin1Char('@'), 0, 0)
                                      .trimmed();
        const QString expected = message21 + QStringLiteral("\r\n") + QString::fromUtf8(c.details) +
                                 device + QStringLiteral(": Permission denied");
        EXPECT_EQ(prompter.boxes[0].text.toStdString(), expected.toStdString());
    }
}

class CommandTransferTest : public ::testing::Test {
protected:
    CommandTransferTest() : sim(line) {}
    QString path() const { return sim.dir.file(QStringLiteral("bank.BNK")); }

    SimulatedLine line;
    SimulatedLink sim;
    ScriptedPeer sensor{line, 1};
    QStringList steps;
    sensor::CommandTransferSteps recordSteps{[this] { steps << "command"; },
                                             [this] { steps << "transfer"; }};
};

TEST_F(CommandTransferTest, onlyAnOkStartsTheTransfer)
{
    for (const char* reply : {"NG\r", "ER\r", "\r"}) {
        SimulatedLine quiet;
        SimulatedLink other(quiet);
        ScriptedPeer refusing{quiet, 1};
        refusing.on("BANKSAVE 1\r").send(reply);
        QStringList seen;
        const sensor::CommandTransferOutcome outcome = sensor::CommandThenTransfer(
            other.link, sensor::bankSaveCommand(1), path(), sensor::Direction::Receive,
            {[&] { seen << "command"; }, [&] { seen << "transfer"; }});
        EXPECT_FALSE(outcome.transfer) << reply;
        EXPECT_FALSE(outcome.succeeded()) << reply;
        EXPECT_EQ(seen, QStringList{"command"}) << reply;
    }
}

TEST_F(CommandTransferTest, anOkIsFollowedByTheTransfer)
{
    const QByteArray data = patternFile(128);
    sensor.on("BANKSAVE 2\r").send("OK\r").on(byte(CRC_REQUEST)).send(block(1, data));
    sensor.on(byte(ACK)).send(byte(EOT)).on(byte(NAK)).send(byte(EOT)).on(byte(ACK));

    const sensor::CommandTransferOutcome outcome = sensor::CommandThenTransfer(
        sim.link, sensor::bankSaveCommand(2), path(), sensor::Direction::Receive, recordSteps);
    EXPECT_TRUE(outcome.succeeded()) << sensor.mismatch().toStdString();
    EXPECT_EQ(outcome.reply, sensor::kReplyOk);
    EXPECT_EQ(steps, (QStringList{"command", "transfer"}));
    EXPECT_EQ(sim.dir.read(QStringLiteral("bank.BNK")), data);
}

} // namespace
