// The measurement panel end to end against the simulated sensor.

#include "SensorFlowTest.h"

#include <QAction>
#include <QLabel>
#include <QRadioButton>
#include <QTest>

using namespace kel;
using namespace kel::test;

namespace {

using MeasurementFlows = SensorFlowTest;

TEST_F(MeasurementFlows, eachOptionSendsItsCommand)
{
    start();
    window->optMesure[0]->setChecked(true);
    window->cmdMeasure_Click();
    window->optMesure[1]->setChecked(true);
    window->cmdMeasure_Click();
    EXPECT_TRUE(window->blnContinuous);
    EXPECT_EQ(window->cmdMeasure->text(), core->GetMessageText(kSectionLabel, 13));
    EXPECT_FALSE(window->optMesure[0]->isEnabled());
    window->cmdMeasure_Click();
    EXPECT_FALSE(window->blnContinuous);
    EXPECT_EQ(window->cmdMeasure->text(), core->GetMessageText(kSectionLabel, 12));
    EXPECT_TRUE(window->optMesure[2]->isEnabled());
    window->optMesure[2]->setChecked(true);
    window->cmdMeasure_Click();
    EXPECT_EQ(commands(), (QStringList{"M", "M /C", "M /E", "M /I"}));
    EXPECT_TRUE(prompter.boxes.isEmpty());
}

TEST_F(MeasurementFlows, rejectedContinuousStartReturnsThePanelToIdle)
{
    start({.arguments = {"--reply-er", "M /C"}});
    window->optMesure[1]->setChecked(true);
    prompter.answers = {AnswerOk};
    window->cmdMeasure_Click();
    EXPECT_FALSE(window->blnContinuous);
    EXPECT_EQ(window->cmdMeasure->text(), core->GetMessageText(kSectionLabel, 12));
    for (QRadioButton* option : window->optMesure)
        EXPECT_TRUE(option->isEnabled());
    EXPECT_EQ(prompter.boxes.size(), 1); // the "ER" message of the exchange
}

TEST_F(MeasurementFlows, resultShowsTheCodeTextAndTheValue)
{
    start();
    window->optMesure[0]->setChecked(true);
    window->cmdMeasure_Click();
    window->cmdGetMesure_Click();
    const QStringList texts = {core->GetMessageText(kSectionLabel, 1),
                               core->GetMessageText(kSectionLabel, 2),
                               core->GetMessageText(kSectionLabel, 3)};
    EXPECT_TRUE(texts.contains(window->lblValue[6]->text()))
        << window->lblValue[6]->text().toStdString();
    EXPECT_FALSE(window->lblValue[7]->text().isEmpty());
    EXPECT_EQ(commands().mid(1), (QStringList{"DATAGET 2 0", "DATAGET 2 1"}));
}

TEST_F(MeasurementFlows, refusedResultCodeChangesNothing)
{
    start({.arguments = {"--reply-er", "DATAGET 2 0"}});
    window->lblValue[6]->setText(QStringLiteral("before"));
    prompter.answers = {AnswerOk};
    window->cmdGetMesure_Click();
    EXPECT_EQ(window->lblValue[6]->text(), QStringLiteral("before"));
    EXPECT_EQ(commands(), QStringList{"DATAGET 2 0"});
}

TEST_F(MeasurementFlows, resultCodeWithABlankOrALeadingZeroChangesNothing)
{
    for (const char* reply : {"DATAGET 2 0= 0", "DATAGET 2 0=00"}) {
        SCOPED_TRACE(reply);
        start({.arguments = {"--reply", reply}});
        window->lblValue[6]->setText(QStringLiteral("before"));
        window->cmdGetMesure_Click();
        EXPECT_EQ(window->lblValue[6]->text(), QStringLiteral("before"));
        EXPECT_EQ(commands(), QStringList{"DATAGET 2 0"}); // "DATAGET 2 1" is not sent
    }
}

TEST_F(MeasurementFlows, measuredValueIsShownAsReceivedEvenWhenItIsER)
{
    start({.arguments = {"--reply", "DATAGET 2 0=0", "--reply-er", "DATAGET 2 1"}});
    prompter.answers = {AnswerOk};
    window->cmdGetMesure_Click();
    EXPECT_EQ(window->lblValue[6]->text(), core->GetMessageText(kSectionLabel, 3));
    EXPECT_EQ(window->lblValue[7]->text(), QStringLiteral("ER"));
    EXPECT_EQ(prompter.boxes.size(), 1); // the "ER" message came first
}

TEST_F(MeasurementFlows, quittingDuringAContinuousMeasurementEndsItOnce)
{
    start();
    window->optMesure[1]->setChecked(true);
    window->cmdMeasure_Click();
    int ended = 0;
    window->endProcess = [&ended] { ++ended; };
    window->mnuQuit->trigger();
    window->close();
    EXPECT_TRUE(QTest::qWaitFor([&ended] { return ended > 0; }, 5000));
    EXPECT_EQ(ended, 1);
    EXPECT_EQ(commands(), (QStringList{"M /C", "M /E"}));
    for (QRadioButton* option : window->optMesure) // the window itself is disabled by then
        EXPECT_TRUE(option->isEnabledTo(window.get()));
}

TEST_F(MeasurementFlows, quittingWithoutOneSendsNothing)
{
    start();
    window->mnuQuit->trigger();
    EXPECT_TRUE(commands().isEmpty());
}

} // namespace
