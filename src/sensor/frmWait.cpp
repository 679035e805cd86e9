#include "sensor/frmWait.h"
#include "core/AppCore.h"
#include "sensor/FetchPreview.h"
#include "sensor/SetProgress.h"
#include "sensor/TransferViewRelay.h"
#include "serial/XmodemProtocol.h"
#include "ui/FormLabels.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QPixmap>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>

namespace kel {

frmWait::frmWait(AppCore& core, sensor::LineOwner& line, QWidget* mainWindow, CommonDialog& dialog)
    : QDialog(mainWindow), m_core(core), m_line(line), m_mainWindow(mainWindow), m_dialog(dialog)
{
    setObjectName(QStringLiteral("frmWait"));
    setWindowModality(Qt::NonModal);

    lblWait = new QLabel(this);
    lblWait->setObjectName(QStringLiteral("lblWait"));
    lblBlock = new QLabel(this);
    lblBlock->setObjectName(QStringLiteral("lblBlock"));
    lblBlock->setVisible(false);
    lblRead = new QLabel(this);
    lblRead->setObjectName(QStringLiteral("lblRead"));
    lblRead->setVisible(false);
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setMinimum(0);
    ProgressBar1->setValue(0);
    ProgressBar1->setVisible(false);
    ProgressBar1->setMinimumWidth(320);
    btnStop = new QPushButton(QStringLiteral("Stop"), this);
    btnStop->setObjectName(QStringLiteral("btnStop"));
    lblProgress = new QLabel(this);
    lblProgress->setObjectName(QStringLiteral("lblProgress"));
    lblProgress->setVisible(false);
    picPreview = new QLabel(this);
    picPreview->setObjectName(QStringLiteral("picPreview"));
    picPreview->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    picPreview->setVisible(false);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblWait);
    layout->addWidget(lblBlock);
    layout->addWidget(lblRead);
    layout->addWidget(ProgressBar1);
    layout->addWidget(lblProgress);
    layout->addWidget(picPreview, 0, Qt::AlignHCenter);
    layout->addWidget(btnStop, 0, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(btnStop, &QPushButton::clicked, this, &frmWait::btnStop_Click);
    // The main window's menus are out of reach while this window is up: its quit key asks the
    // main window to close, which asks whether to stop and quit.
    auto* quit = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), this);
    connect(quit, &QShortcut::activated, this, [this] {
        if (m_mainWindow)
            m_mainWindow->close();
    });
    Form_Load();
}

frmWait::~frmWait() = default;

void frmWait::Form_Load()
{
    LoadFormLabels(m_core, this);
}

void frmWait::btnStop_Click()
{
    m_line.requestStop();
}

void frmWait::closeEvent(QCloseEvent* event)
{
    if (m_running) {
        btnStop_Click();
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void frmWait::reject()
{
    if (m_running)
        btnStop_Click(); // Esc stops like the button; the operation closes the window
    else
        QDialog::reject();
}

void frmWait::setReadText(const QString& text)
{
    lblRead->setText(text);
}

void frmWait::setProgress(qint64 value, qint64 maximum)
{
    if (!m_set) // a set's bar follows the whole set (setFigures)
        showOnBar(value, maximum);
}

void frmWait::showOnBar(qint64 value, qint64 maximum)
{
    // The bar holds an int: scale files beyond its range rather than wrap.
    int scale = 1;
    while (maximum / scale > std::numeric_limits<int>::max())
        scale *= 2;
    ProgressBar1->setMaximum(static_cast<int>(maximum / scale));
    ProgressBar1->setValue(static_cast<int>(value / scale));
    showShareOnBar(value, maximum);
}

// The bar's own percent rounds otherwise than the figures' text: both show the same share.
void frmWait::showShareOnBar(qint64 done, qint64 total)
{
    ProgressBar1->setFormat(QString::number(progressShare(done, total)) + QStringLiteral(" %"));
}

void frmWait::setFigures(const serial::TransferFigures& figures)
{
    if (m_set) {
        const serial::TransferFigures set = m_set->figures(figures, m_line.clock().milliseconds());
        lblProgress->setText(progressText(m_setTexts, set));
        if (set.total > 0)
            showOnBar(std::min(set.done, set.total), set.total);
        else
            showOnBar(m_set->transfersDone(), m_set->transfers());
        return;
    }
    lblProgress->setText(progressText(m_progressTexts, figures));
    if (!m_receiving)
        return; // a send's bar follows the blocks sent (setProgress)
    if (figures.total < 0) {
        ProgressBar1->setRange(0, 0); // the size is not known: the bar only shows activity
        return;
    }
    // The figures count the bytes against the total: the plain count above would say it twice.
    lblRead->setVisible(false);
    // A fetch's total is an image's size, far within the bar's range.
    ProgressBar1->setRange(0, static_cast<int>(figures.total));
    ProgressBar1->setValue(static_cast<int>(std::min(figures.done, figures.total)));
    showShareOnBar(figures.done, figures.total);
}

void frmWait::showPreviewOf(const SensorImage& header)
{
    m_previewHeader = header;
}

// Runs on the line's thread, between two blocks: the rows are copied there and shown here.
void frmWait::showPicture(const PartialPicture& picture)
{
    const bool colour = picture.kind() == ImageKind::Colour;
    const ByteGrid& rows = picture.picture();
    const QImage image =
        QImage(rows.data(), picture.width(), picture.convertedRows(), rows.columns(),
               colour ? QImage::Format_BGR888 : QImage::Format_Grayscale8)
            .copy();
    QMetaObject::invokeMethod(
        this, [this, image] { picPreview->setPixmap(QPixmap::fromImage(image)); },
        Qt::QueuedConnection);
}

void frmWait::setStatus(int labelNumber)
{
    lblWait->setText(m_core.GetMessageText(kSectionLabel, labelNumber));
}

// The main window takes no input while an operation runs. Its controls and menus are disabled
// rather than the window itself: disabling a window disables the windows it owns too, and the
// stop button of this one must keep working.
void frmWait::setMainWindowEnabled(bool enabled)
{
    if (auto* main = qobject_cast<QMainWindow*>(m_mainWindow)) {
        main->centralWidget()->setEnabled(enabled);
        main->menuBar()->setEnabled(enabled);
    } else {
        m_mainWindow->setEnabled(enabled);
    }
}

void frmWait::begin()
{
    m_line.clearStop();
    lblRead->setVisible(true);
    setMainWindowEnabled(false);
    m_running = true;
    m_startMs = m_line.clock().milliseconds();
    m_progressTexts = loadProgressTexts(m_core);
    lblProgress->clear();
    setStatus(LabelWaitOpened);
    show();
    repaint();
}

bool frmWait::exchangeAndTransfer(const QString& command, const QString& path,
                                  sensor::Direction direction)
{
    m_receiving = direction == sensor::Direction::Receive;
    const int transferStatus = m_receiving ? LabelWaitReceiving : LabelWaitSending;
    // The steps are told on the line's thread; this window shows them on its own, while it
    // is there.
    const QPointer<frmWait> window(this);
    const auto onThisThread = [window](std::function<void()> step) {
        return [window, step = std::move(step)] {
            if (window)
                QMetaObject::invokeMethod(window, step, Qt::QueuedConnection);
        };
    };
    sensor::CommandTransferSteps steps{onThisThread([this] { setStatus(LabelWaitCommand); }),
                                       onThisThread([this, transferStatus] {
                                           lblProgress->setVisible(true);
                                           setStatus(transferStatus);
                                       })};
    if (m_receiving && m_preview)
        steps.expectedBytes = m_preview->picture().rawFileBytes();

    // What the job works with belongs to the request, not to this frame.
    auto view = std::make_shared<sensor::TransferViewRelay>(*this, *this);
    std::shared_ptr<sensor::FetchPreview> observer = m_receiving ? m_preview : nullptr;
    // The stop button, Esc and the close box take input while the transfer runs; call returns
    // only once the line has finished with everything handed to it here.
    const std::optional<sensor::CommandTransferOutcome> outcome =
        m_line.call<sensor::CommandTransferOutcome>(
            [view, observer, command, path, direction, steps](serial::SerialLink& link) {
                const serial::ShownOnLink shown(link, view.get(), observer.get());
                return sensor::CommandThenTransfer(link, command, path, direction, steps);
            },
            QEventLoop::AllEvents);
    m_outcome.file = path;
    m_stopped = outcome && outcome->transfer && outcome->transfer->code == serial::XM_STOPPED;
    return outcome && outcome->succeeded();
}

bool frmWait::finish(bool result)
{
    if (m_running) {
        m_outcome.end = result      ? OperationEnd::Succeeded
                        : m_stopped ? OperationEnd::Stopped
                                    : OperationEnd::Failed;
        m_outcome.elapsedMs = serial::elapsedSince(m_line.clock(), m_startMs);
        if (result)
            m_outcome.bytes = QFileInfo(m_outcome.file).size();
    }
    ProgressBar1->setVisible(false);
    m_running = false;
    setMainWindowEnabled(true);
    hide();
    return result;
}

} // namespace kel
