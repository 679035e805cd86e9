#pragma once
// The last measured values of a continuous measurement, oldest first, each with the result
// code it was judged by, and their log as CSV.

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <deque>
#include <optional>

namespace kel::sensor {

// What a result code says of its value: "0" good, "-1" out of tolerance, "-2" not measured.
enum class Judgement { Ok, Ng, Error, Unknown };

Judgement judgementOf(const QString& code);

struct TrendPoint {
    QDateTime time;
    QString code;
    QString value; // as received

    Judgement judgement() const { return judgementOf(code); }
    // The value as a number, when it is one.
    std::optional<double> number() const;
};

class MeasurementTrend {
public:
    static constexpr qsizetype kCapacity = 200;

    // Keeps the point; the oldest one goes when there are more than kCapacity.
    void add(const TrendPoint& point);
    void clear() { m_points.clear(); }

    const std::deque<TrendPoint>& points() const { return m_points; }
    bool isEmpty() const { return m_points.empty(); }
    qsizetype size() const { return qsizetype(m_points.size()); }
    qsizetype count(Judgement judgement) const;

    // The log's header line and one line per point, each ended by CR LF.
    QByteArray csv() const;

private:
    std::deque<TrendPoint> m_points;
};

} // namespace kel::sensor
