#include "app/TrendStrip.h"
#include "sensor/MeasurementTrend.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace kel {

namespace {

constexpr int kMargin = 6;
constexpr int kScaleWidth = 44; // room for the scale's numbers on the left
constexpr double kDotRadius = 2.5;

QColor colourOf(sensor::Judgement judgement)
{
    switch (judgement) {
    case sensor::Judgement::Ok:
        return QColor(0x1e, 0x8c, 0x3a);
    case sensor::Judgement::Ng:
        return QColor(0xd0, 0x1c, 0x1c);
    case sensor::Judgement::Error:
    case sensor::Judgement::Unknown:
        break;
    }
    return QColor(0x80, 0x80, 0x80);
}

} // namespace

TrendStrip::TrendStrip(const sensor::MeasurementTrend& trend, QWidget* parent)
    : QWidget(parent), m_trend(trend)
{
    setMinimumHeight(80);
}

void TrendStrip::paintEvent(QPaintEvent* event)
{
    Q_UNUSED(event);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF plot = QRectF(rect()).adjusted(kScaleWidth, kMargin, -kMargin, -kMargin);
    painter.fillRect(rect(), palette().base());
    painter.setPen(palette().mid().color());
    painter.drawRect(plot);

    double low = 0;
    double high = 0;
    bool any = false;
    for (const sensor::TrendPoint& point : m_trend.points()) {
        if (const std::optional<double> value = point.number()) {
            low = any ? std::min(low, *value) : *value;
            high = any ? std::max(high, *value) : *value;
            any = true;
        }
    }
    if (!any)
        return;
    if (high - low < 1e-9) { // one value, or all alike: centre them
        low -= 1;
        high += 1;
    }
    const double pad = (high - low) * 0.08;
    low -= pad;
    high += pad;

    painter.setPen(palette().text().color());
    QFont small = font();
    small.setPointSizeF(std::max(6.0, small.pointSizeF() * 0.8));
    painter.setFont(small);
    const QRectF scale(0, plot.top(), kScaleWidth - 4, plot.height());
    painter.drawText(scale, Qt::AlignRight | Qt::AlignTop, QString::number(high, 'f', 2));
    painter.drawText(scale, Qt::AlignRight | Qt::AlignBottom, QString::number(low, 'f', 2));

    // Slot i of the capacity is at the same place whatever the count, so the strip fills
    // from the left and then scrolls.
    const double step = plot.width() / double(sensor::MeasurementTrend::kCapacity - 1);
    const auto at = [&](qsizetype index, double value) {
        return QPointF(plot.left() + step * double(index),
                       plot.bottom() - (value - low) / (high - low) * plot.height());
    };
    QPainterPath line;
    qsizetype index = 0;
    for (const sensor::TrendPoint& point : m_trend.points()) {
        if (const std::optional<double> value = point.number()) {
            const QPointF where = at(index, *value);
            if (line.elementCount() == 0)
                line.moveTo(where);
            else
                line.lineTo(where);
        }
        ++index;
    }
    painter.setPen(QPen(palette().mid().color(), 1));
    painter.drawPath(line);
    painter.setPen(Qt::NoPen);
    index = 0;
    for (const sensor::TrendPoint& point : m_trend.points()) {
        if (const std::optional<double> value = point.number()) {
            painter.setBrush(colourOf(point.judgement()));
            painter.drawEllipse(at(index, *value), kDotRadius, kDotRadius);
        }
        ++index;
    }
}

} // namespace kel
