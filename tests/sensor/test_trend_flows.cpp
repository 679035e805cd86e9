// The measurement trend end to end against the simulated sensor: what it reads, when it stops.

#include "SensorFlowTest.h"

#include "app/frmMain.h"
#include "sensor/SensorProtocol.h"

#include <QAction>
#include <QDoubleSpinBox>
#include <QEventLoop>
#include <QLabel>
#include <QRadioButton>

using namespace kel;
using namespace kel::test;

namespace {

constexpr double kIntervalS = 0.1;

class TrendFlows : public SensorFlowTest {
protected:
    void startContinuous()
    {
        window->spnTrendInterval->setValue(kIntervalS);
        window->optMesure[1]->setChecked(true);
        window->cmdMeasure_Click();
        ASSERT_TRUE(window->blnContinuous);
    }

    // Runs the event loop until done() or timeoutMs have passed; done() at the end.
    static bool runUntil(const std::function<bool()>& done, int timeoutMs = 5000)
    {
        QElapsedTimer clock;
        clock.start();
        while (!done() && clock.elapsed() < timeoutMs)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        return done();
    }

    static void runFor(int ms)
    {
        runUntil([] { return false; }, ms);
    }

    // The commands after the first one, as pairs of the result and the value queries.
    static bool onlyReadings(const QStringList& commands)
    {
        for (qsizetype i = 0; i < commands.size(); ++i) {
            if (commands[i] !=
                (i % 2 == 0 ? QStringLiteral("DATAGET 2 0") : QStringLiteral("DATAGET 2 1")))
                return false;
        }
        return commands.size() % 2 == 0;
    }
};

TEST_F(TrendFlows, readsAtTheIntervalUntilTheMeasurementEnds)
{
    start();
    startContinuous();
    ASSERT_TRUE(runUntil([&] { return window->trend.size() >= 3; }));
    window->cmdMeasure_Click(); // ends it
    const qsizetype kept = window->trend.size();
    runFor(400);
    EXPECT_FALSE(window->trendRunning());
    EXPECT_EQ(window->trend.size(), kept);

    const QStringList sent = commands();
    ASSERT_GE(sent.size(), 2);
    EXPECT_EQ(sent.first(), "M /C");
    EXPECT_EQ(sent.last(), "M /E");
    EXPECT_TRUE(onlyReadings(sent.mid(1, sent.size() - 2))) << sent.join('|').toStdString();
    EXPECT_EQ(sent.count("DATAGET 2 1"), kept);
    // The panel shows the last reading.
    const sensor::TrendPoint& last = window->trend.points().back();
    EXPECT_EQ(window->lblValue[7]->text(), last.value);
    EXPECT_EQ(window->lblValue[6]->text(),
              core->GetMessageText(kSectionLabel, *sensor::resultLabelOf(last.code)));
    EXPECT_TRUE(prompter.boxes.isEmpty());
}

TEST_F(TrendFlows, theFirstFailedReadingStopsTheReadingWithOneMessageAtMost)
{
    const struct {
        QStringList kelsim;
        QStringList sent; // after "M /C"
        int boxes;
        TrendText stopped;
        QString reply; // named by the stop
    } cases[] = {
        {{"--reply-er", "DATAGET 2 0"}, {"DATAGET 2 0"}, 1, TrendStoppedFailed, {}},
        {{"--reply", "DATAGET 2 0=7"}, {"DATAGET 2 0"}, 0, TrendStoppedReply, "7"},
        {{"--reply-er", "DATAGET 2 1"}, {"DATAGET 2 0", "DATAGET 2 1"}, 1, TrendStoppedFailed, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kelsim.join(' ').toStdString());
        prompter.boxes.clear();
        start({.arguments = c.kelsim});
        startContinuous();
        QString stopped = core->GetMessageText(kSectionTrend, c.stopped);
        if (!c.reply.isEmpty())
            stopped = stopped.arg(c.reply);
        // The timer is idle while a reading is on the line: only the stop's words say it ended.
        ASSERT_TRUE(runUntil([&] { return window->lblTrendState->text() == stopped; }, 20000))
            << window->lblTrendState->text().toStdString();
        runFor(500); // and nothing follows it
        EXPECT_FALSE(window->trendRunning());
        EXPECT_EQ(commands(), QStringList{"M /C"} + c.sent);
        EXPECT_EQ(prompter.boxes.size(), c.boxes);
        EXPECT_TRUE(window->blnContinuous); // the measurement itself goes on
        window->mnuQuit->trigger();
    }
}

TEST_F(TrendFlows, aFetchIsNotInterruptedAndTheReadingGoesOnAfterIt)
{
    start();
    startContinuous();
    ASSERT_TRUE(runUntil([&] { return window->trend.size() >= 1; }));
    ASSERT_TRUE(fetch());
    const qsizetype before = window->trend.size();
    ASSERT_TRUE(runUntil([&] { return window->trend.size() > before; }));

    const QStringList sent = commands();
    const qsizetype first = sent.indexOf("IMGINFO 0 0");
    ASSERT_GE(first, 0);
    EXPECT_EQ(sent.mid(first, 6), (QStringList{"IMGINFO 0 0", "IMGINFO 0 1", "IMGINFO 0 2",
                                               "IMGINFO 0 3", "IMGINFO 0 4", "IMGSAVE 0"}));
    EXPECT_TRUE(onlyReadings(sent.mid(first + 6))) << sent.join('|').toStdString();
}

TEST_F(TrendFlows, shutdownStopsTheReading)
{
    start();
    startContinuous();
    ASSERT_TRUE(runUntil([&] { return window->trend.size() >= 1; }));
    window->mnuQuit->trigger();
    runFor(400);
    EXPECT_FALSE(window->trendRunning());
    EXPECT_EQ(commands().last(), "M /E");
}

TEST_F(TrendFlows, theValuesAreSavedWithTheColumnsOfTheWatchLog)
{
    start();
    startContinuous();
    ASSERT_TRUE(runUntil([&] { return window->trend.size() >= 2; }));
    window->cmdMeasure_Click();
    const QString path = dir.file(QStringLiteral("trend.csv"));
    prompter.dialogAnswers = {chose(path)};
    window->cmdTrendSave_Click();
    const QStringList lines = QString::fromUtf8(dir.read(QStringLiteral("trend.csv")))
                                  .split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), window->trend.size() + 1);
    EXPECT_EQ(lines.first(), "time,code,value");
    const sensor::TrendPoint& last = window->trend.points().back();
    EXPECT_TRUE(lines.last().endsWith(QLatin1Char(',') + last.code + QLatin1Char(',') + last.value))
        << lines.last().toStdString();
    EXPECT_EQ(prompter.dialogs.size(), 1);
}

// Saved while the reading goes on: the next readings leave the saved notice standing.
TEST_F(TrendFlows, theSavedNoticeOutlastsTheNextReadings)
{
    start();
    startContinuous();
    ASSERT_TRUE(runUntil([&] { return window->trend.size() >= 1; }));
    const QString path = dir.file(QStringLiteral("trend.csv"));
    prompter.dialogAnswers = {chose(path)};
    window->cmdTrendSave_Click();
    const qsizetype saved = window->trend.size();
    ASSERT_TRUE(runUntil([&] { return window->trend.size() >= saved + 2; }));
    EXPECT_TRUE(window->status().result->text().contains(QDir::toNativeSeparators(path)))
        << window->status().result->text().toStdString();
}

} // namespace
