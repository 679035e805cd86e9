// Bank and system backups and restores, and the stop button, end to end against the simulated
// sensor.

#include "SensorFlowTest.h"
#include "core/StatusWords.h"
#include "support/WindowInput.h"

#include <QFile>
#include <QFileInfo>
#include <QLabel>

using namespace kel;
using namespace kel::test;

namespace {

using BackupFlows = SensorFlowTest;

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST_F(BackupFlows, backupRestoreBackupGivesIdenticalFiles)
{
    start();
    const QString bank1 = dir.file(QStringLiteral("BANK/one.BNK"));
    const QString bank8Typed = dir.file(QStringLiteral("BANK/BANK8")); // without extension
    const QString bank8 = bank8Typed + QStringLiteral(".BNK"); // what the restore dialog lists
    const QString system = dir.file(QStringLiteral("SYSTEM/sys.STD"));
    const auto backUpAll = [&] {
        prompter.dialogAnswers = {chose(bank1), chose(bank8Typed), chose(system)};
        prompter.answers = {AnswerOk, AnswerOk, AnswerOk};
        window->mnuBankSelect_Click(1);
        window->mnuBankSelect_Click(8);
        window->mnuSystemSave_Click();
    };

    backUpAll();
    EXPECT_EQ(commands(), (QStringList{"BANKSAVE 1", "BANKSAVE 8", "SYSSAVE"}));
    ASSERT_EQ(prompter.boxes.size(), 3); // three completion messages
    const QByteArray first1 = contents(bank1), first8 = contents(bank8),
                     firstSystem = contents(system);
    ASSERT_FALSE(first1.isEmpty());
    EXPECT_NE(first1, first8);
    EXPECT_EQ(first1.size() % 128, 0);

    const FileDialogRequest& bankSave = prompter.dialogs.at(0);
    EXPECT_EQ(bankSave.mode, FileDialogRequest::Mode::Save);
    EXPECT_EQ(bankSave.filterIndex, 1);
    EXPECT_TRUE(bankSave.confirmOverwrite);
    EXPECT_EQ(bankSave.directory, dir.file(QStringLiteral("BANK")));

    // Each restore first asks, naming the file; No sends nothing.
    prompter.dialogAnswers = {chose(bank1), chose(bank1), chose(bank8), chose(system)};
    prompter.answers = {AnswerNo, AnswerYes, AnswerOk, AnswerYes, AnswerOk, AnswerYes, AnswerOk};
    window->mnuBankLoad_Click();
    EXPECT_EQ(commands().size(), 3);
    window->mnuBankLoad_Click();
    window->mnuBankLoad_Click();
    window->mnuSystemLoad_Click();
    EXPECT_EQ(commands().mid(3), (QStringList{"BANKLOAD", "BANKLOAD", "SYSLOAD"}));
    ASSERT_EQ(prompter.boxes.size(), 10);
    for (const auto& [box, file] : {std::pair{3, bank1}, {8, system}}) {
        EXPECT_EQ(prompter.boxes[box].style, 292);
        EXPECT_TRUE(
            prompter.boxes[box].text.contains("\r\n" + QDir::toNativeSeparators(file) + "\r\n"))
            << prompter.boxes[box].text.toStdString();
    }
    EXPECT_NE(prompter.boxes[3].text.section("\r\n", 0, 0),
              prompter.boxes[8].text.section("\r\n", 0, 0)); // bank data, system data
    // The bank replaced: by a name the backups give, else the one the file was backed up from.
    EXPECT_TRUE(prompter.boxes[3].text.contains(
        core->GetMessageText(kSectionLabel, LabelRestoreBankOfFile)))
        << prompter.boxes[3].text.toStdString();
    EXPECT_TRUE(prompter.boxes[6].text.contains(
        core->GetMessageText(kSectionLabel, LabelRestoreBankNamed).arg(8)))
        << prompter.boxes[6].text.toStdString();
    EXPECT_EQ(prompter.dialogs.at(3).mode, FileDialogRequest::Mode::Open);
    EXPECT_EQ(prompter.dialogs.at(6).directory, dir.file(QStringLiteral("SYSTEM")));

    backUpAll();
    EXPECT_EQ(contents(bank1), first1);
    EXPECT_EQ(contents(bank8), first8);
    EXPECT_EQ(contents(system), firstSystem);
    EXPECT_EQ(prompter.boxes.size(), 13);
}

TEST_F(BackupFlows, cancelledDialogSendsNothingAndSaysNothing)
{
    start();
    prompter.dialogAnswers = {{}, {}, {}, {}};
    window->mnuBankSelect_Click(3);
    window->mnuBankLoad_Click();
    window->mnuSystemSave_Click();
    window->mnuSystemLoad_Click();
    EXPECT_TRUE(commands().isEmpty());
    EXPECT_TRUE(prompter.boxes.isEmpty());
    EXPECT_TRUE(takesInput(*window));
}

TEST_F(BackupFlows, restoreOfAMissingFileShowsMessage12AndSendsNothing)
{
    start();
    prompter.dialogAnswers = {chose(dir.file(QStringLiteral("BANK/typed.BNK")))};
    prompter.answers = {AnswerOk};
    window->mnuBankLoad_Click();
    EXPECT_TRUE(commands().isEmpty());
    ASSERT_EQ(prompter.boxes.size(), 1);
    EXPECT_EQ(
        prompter.boxes[0].text,
        core->GetMessageText(kSectionMessage, MsgWorkFileMissing).split('@').first().trimmed());
}

TEST_F(BackupFlows, failedOrStoppedBackupLeavesThePreviousFile)
{
    start({.arguments = {"--reply-er", "BANKSAVE 2"}});
    const QString previous = dir.file(QStringLiteral("BANK/keep.BNK"));
    dir.write(QStringLiteral("BANK/keep.BNK"), "previous good backup");

    prompter.dialogAnswers = {chose(previous), chose(previous)};
    prompter.answers = {AnswerOk};
    window->mnuBankSelect_Click(2); // refused by the sensor
    ASSERT_EQ(prompter.boxes.size(), 1);
    EXPECT_TRUE(prompter.boxes[0].text.contains("BANKSAVE 2") &&
                prompter.boxes[0].text.contains(statusText(*core, StatusWaitBankBackup, {"2"})))
        << prompter.boxes[0].text.toStdString();
    stopWhen({}, 0); // at the transfer's first wait
    window->mnuBankSelect_Click(3);
    EXPECT_EQ(contents(previous), QByteArray("previous good backup"));
    EXPECT_EQ(QDir(dir.file(QStringLiteral("BANK"))).entryList(QDir::Files | QDir::Hidden),
              QStringList{"keep.BNK"});
}

TEST_F(BackupFlows, stopDuringAReceiveOrASendEndsQuietly)
{
    // Paced like a real line, so that a transfer lasts long enough to be stopped.
    start({.arguments = {"--baud", "38400"}});
    dir.write(QStringLiteral("BANK/big.BNK"), QByteArray(64 * 1024, '\x5a'));

    for (bool receive : {true, false}) {
        SCOPED_TRACE(receive);
        // The image is the longest receive; a large bank file a long send.
        prompter.dialogAnswers = {chose(dir.file(QStringLiteral("BANK/big.BNK")))};
        prompter.answers = {AnswerYes};
        const qsizetype boxes = prompter.boxes.size();
        QElapsedTimer sinceStop;
        onProgressWindow(
            sensorHeardAgain(receive ? QStringLiteral("IMGSAVE 0") : QStringLiteral("BANKLOAD")),
            [&sinceStop](QWidget& progress) {
                sinceStop.start();
                progress.findChild<QPushButton*>(QStringLiteral("btnStop"))->click();
            });
        if (receive)
            window->cmdConvert_Click();
        else
            window->mnuBankLoad_Click();
        ASSERT_TRUE(sinceStop.isValid()) << "stopped while the transfer ran";
        EXPECT_LT(sinceStop.elapsed(), 2500) << "the stop button reacts within a second or two";
        EXPECT_EQ(prompter.boxes.size(), boxes + 1)
            << "no message but the question: " << prompter.boxes.last().text.toStdString() << "\n"
            << sim->log().toStdString();
        EXPECT_TRUE(takesInput(*window));
        EXPECT_TRUE(window->line().stopRequested()) << "stays set until the next operation";
        for (QWidget* widget : QApplication::topLevelWidgets())
            EXPECT_FALSE(widget->objectName() == QLatin1String("frmWait") && widget->isVisible());
    }
    EXPECT_TRUE(showsNoImage());

    // The next operation clears the stop request first.
    prompter.dialogAnswers = {{}};
    window->mnuSystemSave_Click(); // cancelled: never reaches the transfer
    prompter.dialogAnswers = {chose(dir.file(QStringLiteral("SYSTEM/ok.STD")))};
    prompter.answers = {AnswerOk};
    window->mnuSystemSave_Click();
    EXPECT_FALSE(window->line().stopRequested());
    EXPECT_TRUE(QFileInfo::exists(dir.file(QStringLiteral("SYSTEM/ok.STD"))));
}

} // namespace
