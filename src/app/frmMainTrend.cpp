// Main window handlers of the measurement trend: while a continuous measurement runs, the
// result is read every interval into the measurement panel and the trend strip, and the
// values kept can be saved as a CSV log.

#include "app/TrendStrip.h"
#include "app/frmMain.h"
#include "core/AppCore.h"
#include "core/ShownReply.h"
#include "image/FileAccess.h"
#include "sensor/ResultReading.h"
#include "sensor/SensorProtocol.h"

#include <QApplication>
#include <QDir>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <cmath>

namespace kel {

namespace {

constexpr double kDefaultIntervalS = 1.0;
constexpr double kShortestIntervalS = 0.1;
constexpr double kLongestIntervalS = 3600.0;

template <typename T> T* named(T* object, const char* name)
{
    object->setObjectName(QLatin1String(name));
    return object;
}

int intervalMs(const QDoubleSpinBox* seconds)
{
    return int(std::lround(seconds->value() * 1000.0));
}

} // namespace

QGroupBox* frmMain::buildTrendFrame(QWidget* parent)
{
    fraTrend = named(new QGroupBox(QStringLiteral("Trend"), parent), "fraTrend");
    auto* grid = new QGridLayout(fraTrend);
    lblTrendInterval =
        named(new QLabel(QStringLiteral("Interval (s)"), fraTrend), "lblTrendInterval");
    spnTrendInterval = named(new QDoubleSpinBox(fraTrend), "spnTrendInterval");
    spnTrendInterval->setRange(kShortestIntervalS, kLongestIntervalS);
    spnTrendInterval->setDecimals(1);
    spnTrendInterval->setSingleStep(0.5);
    spnTrendInterval->setValue(kDefaultIntervalS);
    lblTrendInterval->setBuddy(spnTrendInterval);
    cmdTrendSave = named(new QPushButton(QStringLiteral("Save CSV..."), fraTrend), "cmdTrendSave");
    cmdTrendSave->setEnabled(false);
    lblTrendState = named(new QLabel(fraTrend), "lblTrendState");
    lblTrendState->setWordWrap(true); // a stop's reason may be longer than the row
    picTrend = named(new TrendStrip(trend, fraTrend), "picTrend");

    grid->addWidget(lblTrendInterval, 0, 0);
    grid->addWidget(spnTrendInterval, 0, 1);
    grid->addWidget(lblTrendState, 0, 2);
    grid->addWidget(cmdTrendSave, 0, 3);
    grid->setColumnStretch(2, 1);
    grid->addWidget(picTrend, 1, 0, 1, 4);

    tmrTrend = named(new QTimer(this), "tmrTrend");
    connect(tmrTrend, &QTimer::timeout, this, &frmMain::tmrTrend_Timer);
    connect(spnTrendInterval, &QDoubleSpinBox::valueChanged, this, [this] {
        tmrTrend->setInterval(intervalMs(spnTrendInterval));
        if (trendRunning())
            showTrendCounts();
    });
    connect(cmdTrendSave, &QPushButton::clicked, this, &frmMain::cmdTrendSave_Click);
    return fraTrend;
}

void frmMain::applyTrendTexts()
{
    fraTrend->setTitle(m_core.GetMessageText(kSectionTrend, TrendFrame));
    lblTrendInterval->setText(m_core.GetMessageText(kSectionTrend, TrendInterval));
    cmdTrendSave->setText(m_core.GetMessageText(kSectionTrend, TrendSave));
}

bool frmMain::trendRunning() const
{
    return tmrTrend->isActive();
}

void frmMain::StartTrend()
{
    trend.clear();
    picTrend->update();
    cmdTrendSave->setEnabled(false);
    tmrTrend->start(intervalMs(spnTrendInterval));
    showTrendCounts();
}

void frmMain::StopTrend()
{
    tmrTrend->stop();
    showTrendCounts();
}

void frmMain::showTrendCounts()
{
    if (trend.isEmpty()) {
        lblTrendState->setText(
            trendRunning()
                ? m_core.GetMessageText(kSectionTrend, TrendReading).arg(spnTrendInterval->value())
                : QString());
        return;
    }
    lblTrendState->setText(m_core.GetMessageText(kSectionTrend, TrendCounts)
                               .arg(trend.size())
                               .arg(trend.count(sensor::Judgement::Ok))
                               .arg(trend.count(sensor::Judgement::Ng)));
}

bool frmMain::lineBusy() const
{
    // The line runs one request at a time: a reading behind a fetch or a command would only
    // come late. A box asks the operator; an operation disables the window's controls.
    return !m_line.idle() || m_line.waiting() || m_line.closed() || !centralWidget()->isEnabled() ||
           QApplication::activeModalWidget() != nullptr;
}

void frmMain::tmrTrend_Timer()
{
    if (!blnContinuous) {
        StopTrend();
        return;
    }
    if (lineBusy())
        return; // the next tick tries again
    // No tick until this reading is back: a box it brings must not be followed by more.
    tmrTrend->stop();
    auto reading = std::make_shared<sensor::ResultReading>();
    line().post(
        [reading](serial::SerialLink& link) { *reading = sensor::readResultAndValue(link); },
        [this, reading](bool ran) {
            if (ran)
                showTrendReading(*reading);
        });
}

void frmMain::showTrendReading(const sensor::ResultReading& reading)
{
    if (!blnContinuous || m_shuttingDown)
        return; // ended while the reading was on the line
    if (!reading.read()) {
        // The exchange has shown its message, or the reply is named here; one failure ends
        // the reading so that a sensor gone away does not bring a box every tick.
        lblTrendState->setText(reading.outcome == sensor::ResultReading::Outcome::UnknownCode
                                   ? m_core.GetMessageText(kSectionTrend, TrendStoppedReply)
                                         .arg(shownReply(m_core, reading.reply))
                                   : m_core.GetMessageText(kSectionTrend, TrendStoppedFailed));
        return;
    }
    lblValue[6]->setText(
        m_core.GetMessageText(kSectionLabel, sensor::resultLabelOf(reading.code).value_or(0)));
    lblValue[7]->setText(reading.value);
    trend.add({QDateTime::currentDateTime(), reading.code, reading.value});
    picTrend->update();
    cmdTrendSave->setEnabled(true);
    tmrTrend->start(intervalMs(spnTrendInterval));
    showTrendCounts();
}

void frmMain::cmdTrendSave_Click()
{
    if (trend.isEmpty())
        return;
    m_trendDialog.CancelError = true;
    m_trendDialog.Filter =
        m_core.GetMessageText(kSectionTrend, TrendCsvFiles) + QStringLiteral("|*.csv|") +
        m_core.GetMessageText(kSectionLabel, LabelAllFiles) + QStringLiteral("|*.*");
    m_trendDialog.FilterIndex = 1;
    m_trendDialog.Flags = cdlOFNOverwritePrompt | cdlOFNPathMustExist;
    if (m_trendDialog.InitDir.isEmpty())
        m_trendDialog.InitDir = m_core.paths().appDir;
    if (m_trendDialog.FileName.isEmpty())
        m_trendDialog.FileName =
            QDateTime::currentDateTime().toString(QStringLiteral("'trend-'yyyyMMdd-HHmmss'.csv'"));
    if (m_trendDialog.ShowSave() != 0)
        return;
    const QString path = m_trendDialog.FileName;
    QString failure;
    if (!writeWholeFile(path, trend.csv(), failure)) {
        m_core.ShowFailure(failure);
        return;
    }
    // On the status bar, which the readings leave alone: it stands until the next operation.
    m_status->showResult(m_core.GetMessageText(kSectionTrend, TrendSaved)
                             .arg(trend.size())
                             .arg(QDir::toNativeSeparators(path)));
}

} // namespace kel
