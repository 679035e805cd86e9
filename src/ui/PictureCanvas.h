#pragma once
// The picture an operator looks into: zoom from 25 % to 1600 % (fit, 1:1, Ctrl+wheel,
// Ctrl+plus and minus, Ctrl+0), pan by dragging, the scroll bars or the arrow keys; pixels
// drawn square and unsmoothed from 100 % up. It tells which picture pixel is under the
// pointer, a rectangle dragged with Shift and a line dragged with Alt; it paints only what is
// exposed, from the cached picture, and computes nothing about it.

#include <QAbstractScrollArea>
#include <QImage>
#include <QLine>
#include <QPoint>
#include <QRect>
#include <optional>

namespace kel {

class PictureCanvas : public QAbstractScrollArea {
    Q_OBJECT
public:
    static constexpr double kMinZoom = 0.25;
    static constexpr double kMaxZoom = 16.0;

    explicit PictureCanvas(QWidget* parent = nullptr);

    // A new picture starts at 1:1 from the top-left corner; the marks go with the old one.
    void setPicture(const QImage& picture);
    // The same picture drawn differently (a difference view): zoom, position and marks stay.
    void replacePicture(const QImage& picture);
    const QImage& picture() const { return m_picture; }

    double zoom() const { return m_zoom; }
    // Clamped to the limits; the picture point at the view's centre stays where it is.
    void setZoom(double zoom);
    void zoomIn();
    void zoomOut();
    void zoomToActualSize();
    void zoomToFit();

    // The picture pixel under a point of the viewport, if the point is on the picture.
    std::optional<QPoint> pictureAt(const QPoint& viewportPoint) const;
    // Where a picture pixel's top-left corner is drawn in the viewport.
    QPoint viewportAt(const QPoint& picturePoint) const;

    // The rectangle and the line drawn on the picture; empty / null when none.
    QRect selection() const { return m_selection; }
    void setSelection(const QRect& rect);
    QLine profileLine() const { return m_line; }
    void setProfileLine(const QLine& line);
    void clearMarks();

    QSize sizeHint() const override;

signals:
    // The pointer is over this picture pixel; hoverLeft once it is over none.
    void hovered(QPoint pixel);
    void hoverLeft();
    void zoomChanged(double zoom);
    void selectionChanged(QRect rect);
    void profileLineChanged(QLine line);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    enum class Drag { None, Pan, Select, Line };

    void updateScrollBars();
    // Sets the zoom and scrolls so that picturePoint stays at viewportPoint.
    void zoomAround(double zoom, QPointF picturePoint, QPoint viewportPoint);
    QPoint clampedPixel(const QPoint& viewportPoint) const;
    QPointF pictureAtF(const QPoint& viewportPoint) const;
    QPoint origin() const; // where the picture's top-left corner is drawn

    QImage m_picture;
    double m_zoom = 1.0;
    Drag m_drag = Drag::None;
    QPoint m_dragStart;     // viewport point of a pan, picture pixel of a selection
    QPoint m_scrollAtStart; // the scroll bars' values when a pan began
    QRect m_selection;
    QLine m_line;
    bool m_hovering = false;
};

} // namespace kel
