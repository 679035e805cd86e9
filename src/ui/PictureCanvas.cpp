#include "ui/PictureCanvas.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <array>
#include <cmath>

namespace kel {

namespace {

// The zoom steps of Ctrl+plus and minus and of the wheel, as an image viewer has them.
constexpr std::array<double, 13> kSteps{0.25, 1.0 / 3, 0.5, 2.0 / 3, 1.0,  1.5, 2.0,
                                        3.0,  4.0,     6.0, 8.0,     12.0, 16.0};
constexpr int kArrowStep = 32; // pixels of the viewport an arrow key scrolls

} // namespace

PictureCanvas::PictureCanvas(QWidget* parent) : QAbstractScrollArea(parent)
{
    setObjectName(QStringLiteral("picCnvBmp"));
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(true);
    viewport()->setCursor(Qt::CrossCursor);
    setFrameShape(QFrame::NoFrame);
}

QSize PictureCanvas::sizeHint() const
{
    return m_picture.isNull() ? QSize(508, 432) : m_picture.size();
}

void PictureCanvas::setPicture(const QImage& picture)
{
    m_picture = picture;
    m_selection = {};
    m_line = {};
    m_zoom = 1.0;
    updateScrollBars();
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
    viewport()->update();
    emit zoomChanged(m_zoom);
}

void PictureCanvas::replacePicture(const QImage& picture)
{
    m_picture = picture;
    updateScrollBars();
    viewport()->update();
}

QPoint PictureCanvas::origin() const
{
    return {-horizontalScrollBar()->value(), -verticalScrollBar()->value()};
}

QPointF PictureCanvas::pictureAtF(const QPoint& viewportPoint) const
{
    const QPoint from = viewportPoint - origin();
    return {from.x() / m_zoom, from.y() / m_zoom};
}

std::optional<QPoint> PictureCanvas::pictureAt(const QPoint& viewportPoint) const
{
    const QPointF at = pictureAtF(viewportPoint);
    const QPoint pixel(static_cast<int>(std::floor(at.x())), static_cast<int>(std::floor(at.y())));
    if (m_picture.isNull() || !m_picture.rect().contains(pixel))
        return std::nullopt;
    return pixel;
}

QPoint PictureCanvas::clampedPixel(const QPoint& viewportPoint) const
{
    const QPointF at = pictureAtF(viewportPoint);
    return {std::clamp(static_cast<int>(std::floor(at.x())), 0, m_picture.width() - 1),
            std::clamp(static_cast<int>(std::floor(at.y())), 0, m_picture.height() - 1)};
}

QPoint PictureCanvas::viewportAt(const QPoint& picturePoint) const
{
    return origin() + QPoint(static_cast<int>(std::lround(picturePoint.x() * m_zoom)),
                             static_cast<int>(std::lround(picturePoint.y() * m_zoom)));
}

void PictureCanvas::updateScrollBars()
{
    const QSize shown = m_picture.size() * m_zoom;
    // A picture that fits the whole area needs no scroll bars, even while they are still shown
    // and take part of the area; one that does not fit scrolls over what they leave.
    const QSize whole = maximumViewportSize();
    const bool fits = shown.width() <= whole.width() && shown.height() <= whole.height();
    const QSize room = fits ? whole : viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, shown.width() - room.width()));
    verticalScrollBar()->setRange(0, std::max(0, shown.height() - room.height()));
    horizontalScrollBar()->setPageStep(room.width());
    verticalScrollBar()->setPageStep(room.height());
    horizontalScrollBar()->setSingleStep(kArrowStep);
    verticalScrollBar()->setSingleStep(kArrowStep);
}

void PictureCanvas::zoomAround(double zoom, QPointF picturePoint, QPoint viewportPoint)
{
    zoom = std::clamp(zoom, kMinZoom, kMaxZoom);
    if (zoom == m_zoom)
        return;
    m_zoom = zoom;
    updateScrollBars();
    horizontalScrollBar()->setValue(
        static_cast<int>(std::lround(picturePoint.x() * m_zoom - viewportPoint.x())));
    verticalScrollBar()->setValue(
        static_cast<int>(std::lround(picturePoint.y() * m_zoom - viewportPoint.y())));
    viewport()->update();
    emit zoomChanged(m_zoom);
}

void PictureCanvas::setZoom(double zoom)
{
    const QPoint centre = viewport()->rect().center();
    zoomAround(zoom, pictureAtF(centre), centre);
}

void PictureCanvas::zoomIn()
{
    const auto next = std::upper_bound(kSteps.begin(), kSteps.end(), m_zoom + 1e-9);
    setZoom(next == kSteps.end() ? kMaxZoom : *next);
}

void PictureCanvas::zoomOut()
{
    const auto below = std::lower_bound(kSteps.begin(), kSteps.end(), m_zoom - 1e-9);
    setZoom(below == kSteps.begin() ? kMinZoom : *(below - 1));
}

void PictureCanvas::zoomToActualSize()
{
    setZoom(1.0);
}

void PictureCanvas::zoomToFit()
{
    if (m_picture.isNull())
        return;
    const QSize room = viewport()->size();
    const double fit = std::min(double(room.width()) / m_picture.width(),
                                double(room.height()) / m_picture.height());
    zoomAround(fit, {0, 0}, {0, 0});
}

void PictureCanvas::setSelection(const QRect& rect)
{
    m_selection = rect.normalized().intersected(m_picture.rect());
    viewport()->update();
    emit selectionChanged(m_selection);
}

void PictureCanvas::setProfileLine(const QLine& line)
{
    m_line = line;
    viewport()->update();
    emit profileLineChanged(m_line);
}

void PictureCanvas::clearMarks()
{
    setSelection({});
    setProfileLine({});
}

void PictureCanvas::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    painter.fillRect(event->rect(), palette().window());
    if (m_picture.isNull())
        return;
    // Only the exposed part, from the cached picture: a pixel stays a square from 100 % up.
    const QRectF exposed = QRectF(event->rect());
    const QRectF source(pictureAtF(exposed.topLeft().toPoint()),
                        QSizeF(exposed.width() / m_zoom, exposed.height() / m_zoom));
    const QRect pixels = source.toAlignedRect().intersected(m_picture.rect());
    if (pixels.isEmpty())
        return;
    const QRect target(viewportAt(pixels.topLeft()),
                       viewportAt(pixels.bottomRight() + QPoint(1, 1)) - QPoint(1, 1));
    painter.setRenderHint(QPainter::SmoothPixmapTransform, m_zoom < 1.0);
    painter.drawImage(target, m_picture, pixels);

    painter.setRenderHint(QPainter::Antialiasing, false);
    if (!m_selection.isEmpty()) {
        painter.setPen(QPen(Qt::yellow, 1, Qt::DashLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(
            QRect(viewportAt(m_selection.topLeft()),
                  viewportAt(m_selection.bottomRight() + QPoint(1, 1)) - QPoint(1, 1)));
    }
    if (!m_line.isNull()) {
        const QPoint half(static_cast<int>(m_zoom / 2), static_cast<int>(m_zoom / 2));
        painter.setPen(QPen(Qt::cyan, 1));
        painter.drawLine(viewportAt(m_line.p1()) + half, viewportAt(m_line.p2()) + half);
    }
}

void PictureCanvas::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void PictureCanvas::scrollContentsBy(int, int)
{
    viewport()->update();
}

void PictureCanvas::wheelEvent(QWheelEvent* event)
{
    if (!(event->modifiers() & Qt::ControlModifier)) {
        QAbstractScrollArea::wheelEvent(event);
        return;
    }
    const int notches = event->angleDelta().y() / 120;
    if (notches == 0)
        return;
    const QPoint at = event->position().toPoint();
    const QPointF under = pictureAtF(at);
    double zoom = m_zoom;
    for (int i = 0; i < std::abs(notches); ++i) {
        const auto step = notches > 0 ? std::upper_bound(kSteps.begin(), kSteps.end(), zoom + 1e-9)
                                      : std::lower_bound(kSteps.begin(), kSteps.end(), zoom - 1e-9);
        if (notches > 0)
            zoom = step == kSteps.end() ? kMaxZoom : *step;
        else
            zoom = step == kSteps.begin() ? kMinZoom : *(step - 1);
    }
    zoomAround(zoom, under, at); // the pixel under the pointer stays under it
    event->accept();
}

void PictureCanvas::keyPressEvent(QKeyEvent* event)
{
    const bool control = event->modifiers() & Qt::ControlModifier;
    if (control && (event->key() == Qt::Key_Plus || event->key() == Qt::Key_Equal)) {
        zoomIn();
    } else if (control && event->key() == Qt::Key_Minus) {
        zoomOut();
    } else if (control && event->key() == Qt::Key_0) {
        zoomToActualSize();
    } else {
        // Arrow keys, Page Up and Down, Home and End scroll as in any scroll area.
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    event->accept();
}

void PictureCanvas::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || m_picture.isNull()) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    const QPoint at = event->position().toPoint();
    if (event->modifiers() & Qt::ShiftModifier) {
        m_drag = Drag::Select;
        m_dragStart = clampedPixel(at);
        setSelection(QRect(m_dragStart, QSize(1, 1)));
    } else if (event->modifiers() & Qt::AltModifier) {
        m_drag = Drag::Line;
        m_dragStart = clampedPixel(at);
        setProfileLine(QLine(m_dragStart, m_dragStart));
    } else {
        m_drag = Drag::Pan;
        m_dragStart = at;
        m_scrollAtStart = {horizontalScrollBar()->value(), verticalScrollBar()->value()};
        viewport()->setCursor(Qt::ClosedHandCursor);
    }
    event->accept();
}

void PictureCanvas::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    switch (m_drag) {
    case Drag::Pan: {
        const QPoint moved = at - m_dragStart;
        horizontalScrollBar()->setValue(m_scrollAtStart.x() - moved.x());
        verticalScrollBar()->setValue(m_scrollAtStart.y() - moved.y());
        break;
    }
    case Drag::Select: {
        const QPoint end = clampedPixel(at);
        setSelection(
            QRect(QPoint(std::min(m_dragStart.x(), end.x()), std::min(m_dragStart.y(), end.y())),
                  QPoint(std::max(m_dragStart.x(), end.x()), std::max(m_dragStart.y(), end.y()))));
        break;
    }
    case Drag::Line:
        setProfileLine(QLine(m_dragStart, clampedPixel(at)));
        break;
    case Drag::None:
        break;
    }
    if (const std::optional<QPoint> pixel = pictureAt(at)) {
        m_hovering = true;
        emit hovered(*pixel);
    } else if (m_hovering) {
        m_hovering = false;
        emit hoverLeft();
    }
}

void PictureCanvas::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && m_drag != Drag::None) {
        m_drag = Drag::None;
        viewport()->setCursor(Qt::CrossCursor);
        event->accept();
        return;
    }
    QAbstractScrollArea::mouseReleaseEvent(event);
}

void PictureCanvas::leaveEvent(QEvent* event)
{
    QAbstractScrollArea::leaveEvent(event);
    if (m_hovering) {
        m_hovering = false;
        emit hoverLeft();
    }
}

} // namespace kel
