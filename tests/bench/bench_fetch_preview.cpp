// A 508 x 432 colour fetch through the main window from kelsim paced at 38400 baud: how soon
// the progress window shows the first rows of the picture after the transfer has started, and
// how long the whole fetch takes beside the line-rate limit of XMODEM-CRC (every block 133
// bytes and its ACK 1, at 10 bits a byte). Prints both figures; fails only when the fetch
// fails or no rows were shown. Takes about a minute.
//
// With KEL_FETCH_SHOT set to a file name (and a display), FetchShot instead photographs the
// screen with ImageMagick's import once half the picture has arrived, in the language of
// KEL_FETCH_SHOT_LANGUAGE (Japanese or English): scripts/fetch-preview-shots.sh.

#include "../sensor/SensorFlowTest.h"

#include <QLabel>
#include <QProcess>
#include <QTimer>
#include <cstdio>

using namespace kel;
using namespace kel::test;

namespace {

constexpr int kBaud = 38400;

using FetchBench = SensorFlowTest;

TEST_F(FetchBench, firstRowsAndWholeFetchAt38400Baud)
{
    start({.arguments = {"--baud", QString::number(kBaud)}});
    const QString receiving = core->GetMessageText(kSectionLabel, LabelWaitReceiving);
    QElapsedTimer clock;
    clock.start();
    qint64 transferStartNs = -1;
    qint64 firstRowsNs = -1;
    int firstRows = 0;
    // Looks at the progress window on every pass of the event loop that the transfer makes.
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->objectName() != QLatin1String("frmWait") || !widget->isVisible())
                continue;
            if (transferStartNs < 0 &&
                widget->findChild<QLabel*>(QStringLiteral("lblWait"))->text() == receiving)
                transferStartNs = clock.nsecsElapsed();
            const QPixmap shown =
                widget->findChild<QLabel*>(QStringLiteral("picPreview"))->pixmap();
            if (firstRowsNs < 0 && !shown.isNull()) {
                firstRowsNs = clock.nsecsElapsed();
                firstRows = shown.height();
            }
        }
    });
    watch.start(0);
    ASSERT_TRUE(fetch(true));
    const qint64 endNs = clock.nsecsElapsed(); // the conversion and display included (ms)
    watch.stop();
    ASSERT_GE(transferStartNs, 0);
    ASSERT_GE(firstRowsNs, 0);

    const int blocks = (508 * 432 + 2 + 127) / 128;
    const double limit = blocks * (133 + 1) * 10.0 / kBaud;
    const double whole = (endNs - transferStartNs) / 1e9;
    std::printf("first rows shown (%d rows) %.2f s after the transfer started (goal < 1.5 s)\n",
                firstRows, (firstRowsNs - transferStartNs) / 1e9);
    std::printf("%d blocks at %d baud: whole fetch %.2f s, line-rate limit %.2f s (%+.2f %%)\n",
                blocks, kBaud, whole, limit, 100.0 * (whole - limit) / limit);
}

using FetchShot = SensorFlowTest;

TEST_F(FetchShot, screenHalfWay)
{
    const QString shot = qEnvironmentVariable("KEL_FETCH_SHOT");
    if (shot.isEmpty())
        GTEST_SKIP() << "KEL_FETCH_SHOT names no file";
    start({.arguments = {"--baud", QString::number(kBaud), "--phase", "2", "--gains", "30,0,45"}},
          qgetenv("KEL_FETCH_SHOT_LANGUAGE"));
    bool taken = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (taken || widget->objectName() != QLatin1String("frmWait") || !widget->isVisible())
                continue;
            const QPixmap shown =
                widget->findChild<QLabel*>(QStringLiteral("picPreview"))->pixmap();
            if (shown.height() < 432 / 2)
                continue;
            taken = true;
            widget->repaint();
            ASSERT_EQ(QProcess::execute(QStringLiteral("import"),
                                        {QStringLiteral("-window"), QStringLiteral("root"), shot}),
                      0);
            QMetaObject::invokeMethod(widget->findChild<QObject*>(QStringLiteral("btnStop")),
                                      "click");
        }
    });
    watch.start(0);
    prompter.answers = {AnswerYes};
    window->cmdConvert_Click();
    watch.stop();
    EXPECT_TRUE(taken);
}

} // namespace
