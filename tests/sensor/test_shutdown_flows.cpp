// The program asked to end while the line is busy, end to end against the simulated sensor.

#include "SensorFlowTest.h"
#include "core/MessageBoxStyle.h"
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

// The index of the first line after the first that holds what, or -1.
qsizetype lineAfter(const QList<QByteArray>& lines, const char* what)
{
    for (qsizetype i = 1; i < lines.size(); ++i) {
        if (lines[i].contains(what))
            return i;
    }
    return -1;
}

// The program told to end in the middle of a paced fetch while a continuous measurement runs,
// by a signal or by the close box answered Yes: the transfer is cancelled on the line first,
// then the measurement is ended, nothing else reaches the sensor meanwhile, no other box comes
// up, and the program ends within three seconds.
TEST_F(ShutdownFlows, anEndDuringAFetchCancelsItThenEndsTheMeasurementAndEndsQuickly)
{
    for (const bool byCloseBox : {false, true}) {
        SCOPED_TRACE(byCloseBox ? "close box" : "SIGTERM");
        start({.arguments = {QStringLiteral("--baud"), QStringLiteral("38400")}});
        ShutdownSignals requests;
        QObject::connect(&requests, &ShutdownSignals::requested, window.get(), &frmMain::ShutDown);
        QElapsedTimer sinceEnd;
        qint64 endedAfterMs = -1;
        window->endProcess = [&] { endedAfterMs = sinceEnd.elapsed(); };

        window->optMesure[1]->setChecked(true);
        window->cmdMeasure_Click();
        ASSERT_TRUE(window->blnContinuous);

        // The end comes once the image has been flowing for a second.
        QTimer watch;
        QElapsedTimer sinceTransfer;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            if (!sinceTransfer.isValid() && sim->log().contains("> IMGSAVE 0"))
                sinceTransfer.start();
            if (sinceTransfer.isValid() && sinceTransfer.elapsed() >= 1000 && !sinceEnd.isValid()) {
                sinceEnd.start();
                if (byCloseBox)
                    window->close();
                else
                    ::kill(::getpid(), SIGTERM);
            }
        });
        watch.start(20);
        const qsizetype boxes = prompter.boxes.size();
        prompter.answers = {AnswerYes, AnswerYes};
        window->cmdConvert_Click();
        watch.stop();

        ASSERT_TRUE(sinceEnd.isValid()) << "the fetch ended before the end was asked for";
        EXPECT_TRUE(QTest::qWaitFor([&] { return endedAfterMs >= 0; }, 5000));
        EXPECT_GE(endedAfterMs, 0);
        EXPECT_LE(endedAfterMs, 3000);
        // The fetch's question, and for the close box its own, with No as its default.
        ASSERT_EQ(prompter.boxes.size(), boxes + (byCloseBox ? 2 : 1));
        if (byCloseBox) {
            EXPECT_EQ(prompter.boxes.last().text,
                      core->GetMessageText(kSectionQuestion, QuestionQuitDuringTransfer)
                          .split('@')
                          .first()
                          .trimmed());
            EXPECT_EQ(decodeMessageBoxStyle(prompter.boxes.last().style).defaultAnswer, AnswerNo);
        }

        // No command between the cancelled transfer and "M /E".
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return commands().contains(QStringLiteral("M /E")); }, 3000));
        const QByteArray log = sim->log();
        const QList<QByteArray> lines = log.mid(log.indexOf("> IMGSAVE 0")).split('\n');
        const qsizetype cancelled = lineAfter(lines, "cancelled");
        const qsizetype ended = lineAfter(lines, "> ");
        ASSERT_GT(cancelled, 0) << log.toStdString();
        ASSERT_GT(ended, cancelled) << log.toStdString();
        EXPECT_TRUE(lines[ended].trimmed().endsWith("> M /E")) << log.toStdString();

        window.reset();
        core.reset();
        sim.reset();
    }
}

// The program told to end while a request waits for a reply that never comes: the request
// ends by its own time-out, "M /E" still goes out after it, and the application's event loop
// ends with status 0 within 7 s, through the window's own exit and signal handling. A request
// that outlived its caller would write into a stack frame that is gone (the sanitizer build
// reports it) and the measurement would be left running.
TEST_F(ShutdownFlows, anEndBehindAnUnansweredRequestStillEndsTheMeasurementAndExits)
{
    struct Case {
        const char* silentFor;
        bool fetch;  // the request is the fetch's image information, not the trend's reading
        bool signal; // SIGTERM, or Quit from the menu
    };
    for (const Case& c : {Case{"IMGINFO 0 2", true, true}, Case{"DATAGET 2 0", false, false}}) {
        SCOPED_TRACE(c.silentFor);
        productionExit = true;
        start({.arguments = {QStringLiteral("--no-reply"), QLatin1String(c.silentFor)}});
        ShutdownSignals requests;
        QObject::connect(&requests, &ShutdownSignals::requested, window.get(), &frmMain::ShutDown);
        window->optMesure[1]->setChecked(true);
        window->cmdMeasure_Click();
        ASSERT_TRUE(window->blnContinuous);

        QElapsedTimer sinceEnd;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            if (sinceEnd.isValid() || !commands().contains(QLatin1String(c.silentFor)))
                return;
            sinceEnd.start();
            if (c.signal)
                ::kill(::getpid(), SIGTERM);
            else
                window->mnuQuit_Click();
        });
        watch.start(20);
        if (c.fetch) {
            QTimer::singleShot(0, window.get(), [this] {
                prompter.answers = {AnswerYes};
                window->cmdConvert_Click();
            });
        }
        QTimer::singleShot(30000, [] { QCoreApplication::exit(99); }); // a hung shutdown
        const int status = QApplication::exec();
        watch.stop();
        // As main does once the loop has ended: the window and its line go.
        window.reset();
        const qint64 endedAfterMs = sinceEnd.elapsed();

        ASSERT_TRUE(sinceEnd.isValid());
        EXPECT_EQ(status, 0);
        EXPECT_LE(endedAfterMs, 7000);
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return commands().contains(QStringLiteral("M /E")); }, 3000))
            << sim->log().toStdString();
        const QStringList sent = commands();
        EXPECT_GT(sent.lastIndexOf(QStringLiteral("M /E")),
                  sent.lastIndexOf(QLatin1String(c.silentFor)));

        core.reset();
        sim.reset();
    }
}

} // namespace
