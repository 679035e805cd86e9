#pragma once
// The trend strip: the last measured values of a continuous measurement from left (oldest) to
// right, joined by a line, each a dot in the colour of its judgement. The vertical scale
// follows the values shown.

#include <QWidget>

namespace kel {

namespace sensor {
class MeasurementTrend;
}

class TrendStrip : public QWidget {
    Q_OBJECT
public:
    TrendStrip(const sensor::MeasurementTrend& trend, QWidget* parent = nullptr);

    QSize sizeHint() const override { return {480, 110}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const sensor::MeasurementTrend& m_trend;
};

} // namespace kel
