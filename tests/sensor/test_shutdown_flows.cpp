// The program asked to end while the line is busy, end to end against the simulated sensor.

#include "SensorFlowTest.h"
#include "ui/ShutdownSignals.h"

#include <QElapsedTimer>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <csignal>
#include <unistd.h>

using namespace kel;
using namespace kel::test;

namespace {

using ShutdownFlows = SensorFlowTest;

// SIGTERM in the middle of a paced fetch while a continuous measurement runs: the transfer is
// cancelled on the line first, then the measurement is ended, nothing else reaches the sensor
// meanwhile, no box comes up, and the program ends within three seconds.
TEST_F(ShutdownFlows, aSignalDuringAFetchCancelsItThenEndsTheMeasurementAndEndsQuickly)
{
    start({.arguments = {QStringLiteral("--baud"), QStringLiteral("38400")}});
    ShutdownSignals requests;
    QObject::connect(&requests, &ShutdownSignals::requested, window.get(), &frmMain::ShutDown);
    QElapsedTimer sinceSignal;
    qint64 endedAfterMs = -1;
    window->endProcess = [&] { endedAfterMs = sinceSignal.elapsed(); };

    window->optMesure[1]->setChecked(true);
    window->cmdMeasure_Click();
    ASSERT_TRUE(window->blnContinuous);

    // The signal comes once the image has been flowing for a second.
    QTimer watch;
    QElapsedTimer sinceTransfer;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (!sinceTransfer.isValid() && sim->log().contains("> IMGSAVE 0"))
            sinceTransfer.start();
        if (sinceTransfer.isValid() && sinceTransfer.elapsed() >= 1000 && !sinceSignal.isValid()) {
            sinceSignal.start();
            ::kill(::getpid(), SIGTERM);
        }
    });
    watch.start(20);
    const qsizetype boxes = prompter.boxes.size();
    prompter.answers = {AnswerYes};
    window->cmdConvert_Click();
    watch.stop();

    ASSERT_TRUE(sinceSignal.isValid()) << "the fetch ended before the signal";
    EXPECT_TRUE(QTest::qWaitFor([&] { return endedAfterMs >= 0; }, 5000));
    EXPECT_GE(endedAfterMs, 0);
    EXPECT_LE(endedAfterMs, 3000);
    EXPECT_EQ(prompter.boxes.size(), boxes + 1) << "only the question before the fetch";

    // kelsim's log from the image command on: the cancelled transfer, then "M /E", and no
    // other command between them.
    EXPECT_TRUE(QTest::qWaitFor([&] { return commands().contains(QStringLiteral("M /E")); }, 3000));
    const QByteArray log = sim->log();
    const QList<QByteArray> lines = log.mid(log.indexOf("> IMGSAVE 0")).split('\n');
    qsizetype cancelled = -1;
    qsizetype ended = -1;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        if (cancelled < 0 && lines[i].contains("sent ") && lines[i].contains("cancelled"))
            cancelled = i;
        if (lines[i].contains("> ") && ended < 0)
            ended = i;
    }
    ASSERT_GT(cancelled, 0) << log.toStdString();
    ASSERT_GT(ended, cancelled) << log.toStdString();
    EXPECT_TRUE(lines[ended].trimmed().endsWith("> M /E")) << log.toStdString();
}

} // namespace
