// The main window's status line after each operation that talks to the sensor, end to end
// against the simulated sensor, and the busy cursor given back on every way out.

#include "SensorFlowTest.h"

#include <QFileInfo>
#include <QLabel>
#include <QRegularExpression>
#include <QTest>

using namespace kel;
using namespace kel::test;

namespace {

class StatusFlows : public SensorFlowTest {
protected:
    QString result() const { return window->status().result->text(); }
    QString picture() const { return window->status().picture->text(); }
    // The result matches pattern, with "%b" a byte count and "%s" seconds.
    void expectResult(const QString& pattern)
    {
        QString regex = QRegularExpression::escape(pattern);
        regex.replace(QStringLiteral("\\%b"), QStringLiteral("[0-9,]+"));
        regex.replace(QStringLiteral("\\%s"), QStringLiteral("[0-9]+\\.[0-9]"));
        EXPECT_TRUE(QRegularExpression(QLatin1Char('^') + regex + QLatin1Char('$'))
                        .match(result())
                        .hasMatch())
            << result().toStdString() << " !~ " << pattern.toStdString();
        EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the busy cursor is given back";
    }
};

TEST_F(StatusFlows, backupsAndRestoresNameTheFileItsSizeAndTime)
{
    start();
    const QString bank = dir.file(QStringLiteral("BANK/bank3.BNK"));
    const QString system = dir.file(QStringLiteral("SYSTEM/sys.STD"));
    prompter.dialogAnswers = {chose(bank), chose(system), chose(bank), chose(system)};

    window->mnuBankSelect_Click(3);
    const qint64 bytes = QFileInfo(bank).size();
    ASSERT_GT(bytes, 999);
    EXPECT_EQ(result().section(QLatin1Char(','), 0, 2),
              QStringLiteral("Bank 3 backed up to BANK/bank3.BNK, %1 bytes")
                  .arg(QLocale(QLocale::English).toString(bytes)));
    expectResult(QStringLiteral("Bank 3 backed up to BANK/bank3.BNK, %b bytes, %s s"));
    window->mnuSystemSave_Click();
    expectResult(QStringLiteral("System data backed up to SYSTEM/sys.STD, %b bytes, %s s"));
    prompter.answers = {AnswerYes, AnswerOk};
    window->mnuBankLoad_Click();
    expectResult(QStringLiteral("Bank data restored from BANK/bank3.BNK, %b bytes, %s s"));
    prompter.answers = {AnswerYes, AnswerOk};
    window->mnuSystemLoad_Click();
    expectResult(QStringLiteral("System data restored from SYSTEM/sys.STD, %b bytes, %s s"));

    // A cancelled dialog leaves the last result standing.
    prompter.dialogAnswers = {{}};
    window->mnuBankSelect_Click(1);
    expectResult(QStringLiteral("System data restored from SYSTEM/sys.STD, %b bytes, %s s"));
    EXPECT_EQ(picture(), QStringLiteral("Picture: none"));
}

TEST_F(StatusFlows, refusedOrUnansweredCommandsAreFailures)
{
    start({.arguments = {"--reply-er", "BANKSAVE 2", "--reply-er", "IMGINFO 0 0", "--reply-er",
                         "DATAGET 2 0", "--no-reply", "SYSSAVE"}});
    prompter.dialogAnswers = {chose(dir.file(QStringLiteral("BANK/b.BNK"))),
                              chose(dir.file(QStringLiteral("SYSTEM/s.STD")))};
    window->mnuBankSelect_Click(2);
    expectResult(QStringLiteral("Bank 2 backup failed"));
    window->mnuSystemSave_Click();
    expectResult(QStringLiteral("System data backup failed"));
    prompter.answers = {AnswerYes};
    window->cmdConvert_Click();
    expectResult(QStringLiteral("Image fetch failed"));
    window->cmdGetMesure_Click();
    expectResult(QStringLiteral("Result reading failed"));
}

TEST_F(StatusFlows, fetchTellsWhereThePictureCameFromUntilItIsSaved)
{
    start();
    ASSERT_TRUE(fetch());
    expectResult(QStringLiteral("Image fetched from the sensor, %b bytes, %s s"));
    EXPECT_EQ(picture(), QStringLiteral("Picture: from the sensor, not saved"));
    EXPECT_EQ(window->windowTitle(),
              QStringLiteral("Lumexa KEL TOOL - from the sensor, not saved"));

    prompter.dialogAnswers = {chose(dir.file(QStringLiteral("IMAGE/first.KEL")))};
    window->mnuBinSave_Click();
    expectResult(QStringLiteral("Saved IMAGE/first.KEL"));
    EXPECT_EQ(picture(), QStringLiteral("Picture: first.KEL"));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Lumexa KEL TOOL - first.KEL"));

    prompter.answers = {AnswerYes, AnswerOk};
    window->cmdLoad_Click();
    expectResult(QStringLiteral("Image loaded into the sensor, %b bytes, %s s"));
}

// Esc in the progress window stops like its button; the window stays until the operation
// closes it.
TEST_F(StatusFlows, fetchStoppedByTheButtonOrEscSaysSoAndLeavesNoPicture)
{
    start({.arguments = {"--baud", "38400"}});
    for (bool byEscape : {false, true}) {
        SCOPED_TRACE(byEscape ? "Esc" : "button");
        bool stayedOpen = false;
        if (byEscape) {
            onProgressWindow(sensorHeardAgain(QStringLiteral("IMGSAVE 0")),
                             [&stayedOpen](QWidget& w) {
                                 QTest::keyClick(&w, Qt::Key_Escape);
                                 stayedOpen = w.isVisible();
                             });
        } else {
            stopWhen(sensorHeardAgain(QStringLiteral("IMGSAVE 0")));
        }
        prompter.answers = {AnswerYes};
        window->cmdConvert_Click();
        expectResult(QStringLiteral("Image fetch stopped"));
        EXPECT_EQ(picture(), QStringLiteral("Picture: none"));
        EXPECT_EQ(window->windowTitle(), QStringLiteral("Lumexa KEL TOOL"));
        EXPECT_TRUE(stayedOpen || !byEscape);
    }
}

TEST_F(StatusFlows, measurementCommandsAndTheResultInWords)
{
    start({.arguments = {"--reply", "DATAGET 2 0=0", "--reply", "DATAGET 2 1=12.34"}});
    const struct {
        int option;
        const char* status;
    } steps[] = {
        {0, "Measurement triggered"},
        {2, "Image capture triggered"},
        {1, "Continuous measurement started"},
        {1, "Continuous measurement ended"},
    };
    for (const auto& step : steps) {
        window->optMesure[step.option]->setChecked(true);
        window->cmdMeasure_Click();
        expectResult(QLatin1String(step.status));
    }
    window->cmdGetMesure_Click();
    expectResult(QStringLiteral("Measurement: OK 12.34"));
}

} // namespace
