#include "app/MainStatus.h"
#include "core/StatusWords.h"
#include "sensor/OperationStatus.h"
#include "ui/ElidedLabel.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMainWindow>
#include <QStatusBar>

namespace kel {

namespace {

constexpr int kPictureLabelWidth = 240;

} // namespace

MainStatus::MainStatus(AppCore& core, QMainWindow& window) : m_core(core), m_window(window)
{
    QStatusBar* bar = window.statusBar();
    bar->setSizeGripEnabled(false);
    result = new ElidedLabel(bar);
    result->setObjectName(QStringLiteral("lblStatusResult"));
    picture = new QLabel(bar);
    picture->setObjectName(QStringLiteral("lblStatusPicture"));
    port = new QLabel(bar);
    port->setObjectName(QStringLiteral("lblStatusPort"));
    readout = new QLabel(bar);
    readout->setObjectName(QStringLiteral("lblStatusReadout"));
    zoom = new QLabel(bar);
    zoom->setObjectName(QStringLiteral("lblStatusZoom"));
    // Long texts lose their middle at the window's edge instead of widening the window or
    // losing their figures; the whole text is in the tooltip.
    picture->setMaximumWidth(kPictureLabelWidth);
    for (QLabel* label : {picture, port, readout, zoom})
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    bar->addWidget(result, 1);
    bar->addPermanentWidget(readout);
    bar->addPermanentWidget(zoom);
    bar->addPermanentWidget(picture);
    bar->addPermanentWidget(port);
    m_baseTitle = window.windowTitle();
}

MainStatus::~MainStatus()
{
    while (m_waits > 0) // never leave the busy cursor behind
        endWait();
}

void MainStatus::takeBaseTitle()
{
    m_baseTitle = m_window.windowTitle();
    showPicture(PictureOrigin::None);
}

void MainStatus::showResult(const QString& text)
{
    if (text.isEmpty())
        return;
    result->setText(text);
    result->setToolTip(text);
    m_resultBeforeWait = text;
}

void MainStatus::clearResult()
{
    result->clear();
    result->setToolTip({});
    m_resultBeforeWait.clear();
}

void MainStatus::showPicture(PictureOrigin origin, const QString& file)
{
    QString source;
    switch (origin) {
    case PictureOrigin::None:
        picture->setText(
            statusText(m_core, StatusPicture, {statusText(m_core, StatusPictureNone)}));
        picture->setToolTip({});
        m_window.setWindowTitle(m_baseTitle);
        return;
    case PictureOrigin::Sensor:
        source = statusText(m_core, StatusPictureFromSensor);
        break;
    case PictureOrigin::File:
        source = QFileInfo(file).fileName();
        break;
    }
    picture->setText(statusText(m_core, StatusPicture, {source}));
    picture->setToolTip(origin == PictureOrigin::File ? QDir::toNativeSeparators(file) : QString());
    m_window.setWindowTitle(m_baseTitle + QStringLiteral(" - ") + source);
}

void MainStatus::showLine(const serial::LineConfig& line)
{
    port->setText(lineDescription(line));
}

void MainStatus::beginWait(const QString& text)
{
    if (m_waits++ == 0) {
        m_resultBeforeWait = result->text();
        QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    result->setText(text);
    // The exchange blocks the event loop: paint now or never.
    m_window.statusBar()->repaint();
}

void MainStatus::endWait()
{
    if (m_waits == 0)
        return;
    if (--m_waits == 0) {
        QApplication::restoreOverrideCursor();
        result->setText(m_resultBeforeWait);
        m_window.statusBar()->repaint();
    }
}

void WindowLineNotices::waitingForReply(const QString& command)
{
    if (status)
        status->beginWait(waitingStatus(m_core, command));
}

void WindowLineNotices::replyWaitEnded()
{
    if (status)
        status->endWait();
}

} // namespace kel
