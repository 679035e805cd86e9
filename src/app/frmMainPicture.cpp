// Main window handlers for looking into the picture: zoom and pan (the canvas), the readout
// under the pointer, the figures of the picture or of a rectangle, the profile along a line,
// a reference to compare with, copying, PNG, dropped and recent files. The figures come from
// the same functions that kelctl prints.

#include "app/HistogramPanel.h"
#include "app/frmMain.h"
#include "core/AppCore.h"
#include "core/StatusWords.h"
#include "image/LineProfile.h"
#include "image/PictureCompare.h"
#include "image/PictureStats.h"
#include "image/PixelReadout.h"
#include "ui/PictureCanvas.h"

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QRadioButton>

namespace kel {

namespace {

bool isKelFile(const QString& file)
{
    return QFileInfo(file).suffix().compare(QLatin1String("KEL"), Qt::CaseInsensitive) == 0;
}

bool isBitmapFile(const QString& file)
{
    return QFileInfo(file).suffix().compare(QLatin1String("bmp"), Qt::CaseInsensitive) == 0;
}

// The picture in the form the figures read: three bytes a pixel or one.
QImage analysable(const QImage& image)
{
    if (image.isNull())
        return {};
    return image.isGrayscale() ? image.convertToFormat(QImage::Format_Grayscale8)
                               : image.convertToFormat(QImage::Format_BGR888);
}

PictureView viewOf(const QImage& image)
{
    if (image.isNull())
        return {};
    return PictureView(image.constBits(), image.bytesPerLine(), image.width(), image.height(),
                       image.format() == QImage::Format_Grayscale8 ? ImageKind::Grey
                                                                   : ImageKind::Colour);
}

QImage imageOf(const Picture& picture)
{
    const bool colour = picture.kind == ImageKind::Colour;
    return QImage(picture.pixels.data(), picture.width(), picture.height(),
                  picture.pixels.columns(),
                  colour ? QImage::Format_BGR888 : QImage::Format_Grayscale8)
        .copy();
}

} // namespace

void frmMain::connectPicture()
{
    connect(picCnvBmp, &PictureCanvas::hovered, this, &frmMain::showReadout);
    connect(picCnvBmp, &PictureCanvas::hoverLeft, this, [this] { m_status->readout->clear(); });
    connect(picCnvBmp, &PictureCanvas::zoomChanged, this, [this](double zoom) {
        m_status->zoom->setText(
            m_core.GetMessageText(kSectionPicture, PictureZoom).arg(qRound(zoom * 100)));
    });
    connect(picCnvBmp, &PictureCanvas::selectionChanged, this, [this] { refreshFigures(); });
    connect(picCnvBmp, &PictureCanvas::profileLineChanged, this, [this](QLine line) {
        // QLine() is no line; a click without a drag is a line of one pixel.
        picHistogram->showProfile(line == QLine()
                                      ? LineProfile{}
                                      : lineProfile(viewOf(m_analysed), line.p1(), line.p2()));
    });
    connect(mnuZoomIn, &QAction::triggered, picCnvBmp, &PictureCanvas::zoomIn);
    connect(mnuZoomOut, &QAction::triggered, picCnvBmp, &PictureCanvas::zoomOut);
    connect(mnuZoomActual, &QAction::triggered, picCnvBmp, &PictureCanvas::zoomToActualSize);
    connect(mnuZoomFit, &QAction::triggered, picCnvBmp, &PictureCanvas::zoomToFit);
    connect(mnuHistogram, &QAction::toggled, picHistogram, &QWidget::setVisible);
    connect(mnuSetReference, &QAction::triggered, this, &frmMain::mnuSetReference_Click);
    connect(mnuShowDifference, &QAction::toggled, this, &frmMain::mnuShowDifference_Click);
    connect(mnuCopyPicture, &QAction::triggered, this, &frmMain::mnuCopyPicture_Click);
    connect(mnuPngSave, &QAction::triggered, this, &frmMain::mnuPngSave_Click);

    // A right click offers the profile of the row or the column under the pointer.
    picCnvBmp->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(picCnvBmp, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        const std::optional<QPoint> pixel =
            picCnvBmp->pictureAt(picCnvBmp->viewport()->mapFrom(picCnvBmp, at));
        if (!pixel || m_analysed.isNull())
            return;
        QMenu menu(this);
        const QAction* row = menu.addAction(QStringLiteral("y = %1").arg(pixel->y()));
        const QAction* column = menu.addAction(QStringLiteral("x = %1").arg(pixel->x()));
        const QAction* chosen = menu.exec(picCnvBmp->mapToGlobal(at));
        if (chosen == row)
            picCnvBmp->setProfileLine(QLine(0, pixel->y(), m_analysed.width() - 1, pixel->y()));
        else if (chosen == column)
            picCnvBmp->setProfileLine(QLine(pixel->x(), 0, pixel->x(), m_analysed.height() - 1));
    });
}

void frmMain::showPictureImage(const QImage& image)
{
    m_analysed = analysable(image);
    if (mnuShowDifference->isChecked())
        mnuShowDifference->setChecked(false);
    picCnvBmp->setPicture(image.isNull() ? m_startPicture.toImage() : image);
    m_status->readout->clear();
    const bool shown = !m_analysed.isNull();
    mnuPngSave->setEnabled(shown);
    mnuCopyPicture->setEnabled(shown);
    mnuSetReference->setEnabled(shown);
    refreshFigures();
    refreshComparison();
}

void frmMain::refreshFigures()
{
    if (m_analysed.isNull()) {
        picHistogram->clear();
        return;
    }
    const QRect selection = picCnvBmp->selection();
    const PictureView view = viewOf(m_analysed);
    picHistogram->showStats(selection.isEmpty() ? pictureStats(view)
                                                : pictureStats(view, selection),
                            selection.isEmpty());
}

void frmMain::refreshComparison()
{
    mnuShowDifference->setEnabled(false);
    if (!m_reference) {
        picHistogram->showComparison(m_core.GetMessageText(kSectionPicture, PictureNoReference));
        return;
    }
    QString text =
        m_core.GetMessageText(kSectionPicture, PictureReferenceKept).arg(m_referenceName) +
        QLatin1Char('\n');
    if (m_analysed.isNull()) {
        picHistogram->showComparison(text);
        return;
    }
    const PictureComparison comparison = comparePictures(viewOf(m_analysed), m_reference->view());
    switch (comparison.outcome) {
    case PictureComparison::Outcome::Compared: {
        QStringList means;
        for (const ChannelDifference& channel : comparison.channels)
            means << QString::number(channel.meanAbsoluteDifference, 'f', 2);
        text += m_core.GetMessageText(kSectionPicture, PictureCompared)
                    .arg(means.join(QStringLiteral(" / ")),
                         QString::number(comparison.shareOverThreshold() * 100.0, 'f', 2),
                         QString::number(comparison.threshold));
        mnuShowDifference->setEnabled(true);
        break;
    }
    case PictureComparison::Outcome::DifferentSizes:
        text += m_core.GetMessageText(kSectionPicture, PictureReferenceOtherSize)
                    .arg(m_reference->width())
                    .arg(m_reference->height())
                    .arg(m_analysed.width())
                    .arg(m_analysed.height());
        break;
    case PictureComparison::Outcome::DifferentKinds:
    case PictureComparison::Outcome::Empty:
        text += m_core.GetMessageText(kSectionPicture, PictureReferenceOtherKind);
        break;
    }
    picHistogram->showComparison(text);
}

void frmMain::showReadout(QPoint pixel)
{
    if (m_analysed.isNull())
        return;
    // Raw values exist only for a picture converted from the sensor's mosaic: a fetched colour
    // picture or an opened .KEL, not a bitmap.
    const PixelReadout value =
        readPixel(viewOf(m_analysed), m_picture.pictureMosaic(), pixel.x(), pixel.y());
    if (!value.inside)
        return;
    QString text;
    if (value.kind == ImageKind::Grey) {
        text = m_core.GetMessageText(kSectionPicture, PictureReadoutGrey)
                   .arg(pixel.x())
                   .arg(pixel.y())
                   .arg(value.grey);
    } else if (value.raw) {
        const int filter = value.raw->colour == SiteColour::Red    ? PictureFilterRed
                           : value.raw->colour == SiteColour::Blue ? PictureFilterBlue
                                                                   : PictureFilterGreen;
        text = m_core.GetMessageText(kSectionPicture, PictureReadoutRaw)
                   .arg(pixel.x())
                   .arg(pixel.y())
                   .arg(value.raw->value)
                   .arg(m_core.GetMessageText(kSectionPicture, filter))
                   .arg(value.red)
                   .arg(value.green)
                   .arg(value.blue);
    } else {
        text = m_core.GetMessageText(kSectionPicture, PictureReadoutRgb)
                   .arg(pixel.x())
                   .arg(pixel.y())
                   .arg(value.red)
                   .arg(value.green)
                   .arg(value.blue);
    }
    m_status->readout->setText(text);
}

void frmMain::mnuSetReference_Click()
{
    if (m_analysed.isNull())
        return;
    m_reference = copyOf(viewOf(m_analysed));
    m_referenceName = m_picture.origin() == PictureOrigin::File
                          ? QFileInfo(m_picture.originFile()).fileName()
                          : m_status->picture->text();
    refreshComparison();
}

void frmMain::mnuShowDifference_Click(bool shown)
{
    if (!shown || !m_reference || m_analysed.isNull()) {
        if (!m_analysed.isNull())
            picCnvBmp->replacePicture(m_analysed);
        return;
    }
    const Picture difference = differencePicture(viewOf(m_analysed), m_reference->view());
    if (difference.isEmpty())
        return;
    picCnvBmp->replacePicture(imageOf(difference));
}

void frmMain::mnuCopyPicture_Click()
{
    if (!m_analysed.isNull())
        QGuiApplication::clipboard()->setImage(picCnvBmp->picture());
}

void frmMain::mnuPngSave_Click()
{
    if (m_analysed.isNull())
        return;
    cdlFileOpen.CancelError = true;
    cdlFileOpen.Filter =
        m_core.GetMessageText(kSectionPicture, PicturePngFiles) + QStringLiteral("|*.png");
    cdlFileOpen.FilterIndex = 1;
    cdlFileOpen.Flags = cdlOFNOverwritePrompt | cdlOFNPathMustExist;
    cdlFileOpen.FileName.clear();
    if (cdlFileOpen.ShowSave() != 0)
        return;
    QString chosen = cdlFileOpen.FileName;
    if (QFileInfo(chosen).suffix().isEmpty())
        chosen += QStringLiteral(".png");
    // Lossless: the picture as converted, whatever is being shown.
    if (!m_analysed.save(chosen, "PNG")) {
        showFailed(StatusNameSave, {QDir::toNativeSeparators(chosen)});
        return;
    }
    showSaved(chosen);
}

bool frmMain::openImageFile(const QString& file)
{
    if (isKelFile(file)) {
        if (!mayReplaceUnsaved())
            return false;
        openKelFile(file);
    } else if (isBitmapFile(file)) {
        if (!mayReplaceUnsaved())
            return false;
        openBitmapFile(file);
    } else {
        QString failure;
        if (!m_core.ShowMessage(kSectionPicture, PictureDropRefused, &failure, {},
                                {QDir::toNativeSeparators(file)}))
            m_core.ShowFailure(failure);
        return false;
    }
    return m_picture.origin() == PictureOrigin::File && m_picture.originFile() == file;
}

void frmMain::rememberRecent(const QString& file)
{
    m_recent.add(QFileInfo(file).absoluteFilePath());
    fillRecentMenu();
}

void frmMain::fillRecentMenu()
{
    mnuRecent->clear();
    int number = 0;
    for (const QString& file : m_recent.files()) {
        QAction* item = mnuRecent->addAction(
            QStringLiteral("&%1 %2").arg(++number).arg(QDir::toNativeSeparators(file)));
        connect(item, &QAction::triggered, this, [this, file] {
            if (!QFileInfo::exists(file)) {
                m_recent.remove(file);
                fillRecentMenu();
            }
            openImageFile(file);
        });
    }
    mnuRecent->setEnabled(number > 0);
}

void frmMain::dragEnterEvent(QDragEnterEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (centralWidget()->isEnabled() && urls.size() == 1 && urls.first().isLocalFile())
        event->acceptProposedAction();
}

void frmMain::dropEvent(QDropEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() != 1 || !urls.first().isLocalFile())
        return;
    event->acceptProposedAction();
    openImageFile(urls.first().toLocalFile());
}

} // namespace kel
