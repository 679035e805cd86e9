// The sensor unplugged in the middle of an operation, end to end: kelsim closes its line
// during a command or a transfer. The operation ends with a message, the port is let go, and
// the main window takes the next operation.

#include "SensorFlowTest.h"
#include "support/WindowInput.h"

#include <QFileInfo>
#include <QMainWindow>
#include <QMenuBar>
#include <QThread>

using namespace kel;
using namespace kel::test;

namespace {

class UnplugFlows : public SensorFlowTest {
protected:
    // kelsim with its faults, reached through its link rather than the device's own name: once
    // kelsim has let its pseudo-terminal go, the next one made (by another test running
    // meanwhile) may get the same name.
    void startUnplugging(const QStringList& faults)
    {
        start({.arguments = faults + QStringList{QStringLiteral("--link"), link()}});
        core->strComDevice = link();
    }

    QString link() const { return dir.file(QStringLiteral("sensor.pty")); }

    // The last command kelsim heard; "" when it heard none.
    QString lastCommand() const
    {
        const QStringList heard = commands();
        return heard.isEmpty() ? QString() : heard.last();
    }

    QString messageText(int number) const
    {
        return core->GetMessageText(kSectionMessage, number).split('@').first().trimmed();
    }

    // Whether the operator can go on: the main window takes input and no progress window is
    // left on the screen.
    bool windowUsable() const
    {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->objectName() == QLatin1String("frmWait") && widget->isVisible())
                return false;
        }
        return takesInput(*window);
    }

    // A box the unplugged line explains itself with: message 22, or the port's own failure in
    // the box of a failed write.
    bool toldAboutTheLine(const ShownBox& box) const
    {
        return box.text == messageText(MsgNoReply) || box.title == QStringLiteral("エラー");
    }

    // After the sensor is gone (kelsim has ended by itself and taken its link away), the next
    // operation cannot open the port: message 21 at once, with the device and the reason.
    void expectNextOperationFindsNoPort()
    {
        QElapsedTimer waited;
        waited.start();
        while (QFileInfo(link()).isSymLink() && waited.elapsed() < 5000)
            QThread::msleep(10);
        ASSERT_FALSE(QFileInfo(link()).isSymLink()) << "kelsim did not end after hanging up";
        prompter.boxes.clear();
        prompter.dialogAnswers = {chose(dir.file(QStringLiteral("BANK/after.BNK")))};
        QElapsedTimer clock;
        clock.start();
        window->mnuBankSelect_Click(1);
        EXPECT_LT(clock.elapsed(), 3000);
        ASSERT_EQ(prompter.boxes.size(), 1);
        const QString text = prompter.boxes.front().text;
        EXPECT_TRUE(text.startsWith(messageText(MsgPortCannotOpen) + QStringLiteral("\r\n")))
            << text.toStdString();
        EXPECT_TRUE(text.contains(link())) << text.toStdString(); // the device, and why
        EXPECT_TRUE(windowUsable());
    }
};

TEST_F(UnplugFlows, duringACommandTheFetchEndsWithAMessageAtOnce)
{
    startUnplugging({"--hang-up-on", "IMGINFO 0 2"});
    prompter.answers = {AnswerYes};
    QElapsedTimer clock;
    clock.start();
    window->cmdConvert_Click();
    EXPECT_LT(clock.elapsed(), 4000) << "ended before the reply time-out";
    ASSERT_EQ(prompter.boxes.size(), 2); // the question, then the line
    EXPECT_EQ(prompter.boxes.last().text, messageText(MsgNoReply));
    EXPECT_EQ(lastCommand(), QStringLiteral("IMGINFO 0 2"));
    EXPECT_TRUE(windowUsable());
    expectNextOperationFindsNoPort();
}

TEST_F(UnplugFlows, duringAnImageTransferTheFetchEndsWithAMessageAtOnce)
{
    startUnplugging({"--hang-up-after", "20000"});
    prompter.answers = {AnswerYes};
    QElapsedTimer clock;
    clock.start();
    window->cmdConvert_Click();
    EXPECT_LT(clock.elapsed(), 8000) << "ended before the transfer's time-outs";
    ASSERT_EQ(prompter.boxes.size(), 2);
    EXPECT_TRUE(toldAboutTheLine(prompter.boxes.last()))
        << prompter.boxes.last().text.toStdString();
    EXPECT_NE(prompter.boxes.last().text, messageText(MsgCompleted));
    EXPECT_EQ(lastCommand(), QStringLiteral("IMGSAVE 0"));
    EXPECT_TRUE(windowUsable());
    expectNextOperationFindsNoPort();
}

TEST_F(UnplugFlows, duringABankRestoreTheRestoreEndsWithAMessageAtOnce)
{
    startUnplugging({"--hang-up-after", "700"});
    const QString bank = dir.file(QStringLiteral("BANK/big.BNK"));
    QByteArray content(128 * 40, '\0');
    for (qsizetype i = 0; i < content.size(); ++i)
        content[i] = static_cast<char>(i % 251);
    dir.write(QStringLiteral("BANK/big.BNK"), content);
    prompter.dialogAnswers = {chose(bank)};
    prompter.answers = {AnswerYes};
    QElapsedTimer clock;
    clock.start();
    window->mnuBankLoad_Click();
    EXPECT_LT(clock.elapsed(), 8000);
    ASSERT_EQ(prompter.boxes.size(), 2); // the question, then what happened to the line
    EXPECT_TRUE(toldAboutTheLine(prompter.boxes.back()))
        << prompter.boxes.back().text.toStdString();
    EXPECT_EQ(lastCommand(), QStringLiteral("BANKLOAD"));
    EXPECT_TRUE(windowUsable());
    expectNextOperationFindsNoPort();
}

} // namespace
