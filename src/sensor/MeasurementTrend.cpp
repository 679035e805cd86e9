#include "sensor/MeasurementTrend.h"
#include "sensor/MeasurementLog.h"

#include <algorithm>
#include <cmath>

namespace kel::sensor {

Judgement judgementOf(const QString& code)
{
    if (code == QLatin1String("0"))
        return Judgement::Ok;
    if (code == QLatin1String("-1"))
        return Judgement::Ng;
    if (code == QLatin1String("-2"))
        return Judgement::Error;
    return Judgement::Unknown;
}

std::optional<double> TrendPoint::number() const
{
    bool ok = false;
    const double parsed = value.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(parsed))
        return std::nullopt;
    return parsed;
}

void MeasurementTrend::add(const TrendPoint& point)
{
    m_points.push_back(point);
    while (qsizetype(m_points.size()) > kCapacity)
        m_points.pop_front();
}

qsizetype MeasurementTrend::count(Judgement judgement) const
{
    return std::count_if(m_points.begin(), m_points.end(),
                         [&](const TrendPoint& point) { return point.judgement() == judgement; });
}

QByteArray MeasurementTrend::csv() const
{
    QString text = kMeasurementLogHeader + QStringLiteral("\r\n");
    for (const TrendPoint& point : m_points)
        text += measurementLogLine(point.time, point.code, point.value) + QStringLiteral("\r\n");
    return text.toUtf8();
}

} // namespace kel::sensor
