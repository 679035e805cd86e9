#include "Measurement.h"

#include <cmath>

namespace kel::sim {

void Measurement::measureOnce()
{
    catchUp();
    ++m_count;
}

void Measurement::startContinuous()
{
    catchUp();
    if (m_continuous)
        return;
    m_continuous = true;
    m_lastTickMs = m_nowMs();
    ++m_count; // the series starts with a measurement
}

void Measurement::endContinuous()
{
    catchUp();
    m_continuous = false;
}

QByteArray Measurement::resultCode()
{
    catchUp();
    if (m_count == 0)
        return "-2";
    return std::abs(valueOf(m_count) - kNominalValue) > kTolerance ? "-1" : "0";
}

QByteArray Measurement::value()
{
    catchUp();
    return QByteArray::number(m_count == 0 ? 0.0 : valueOf(m_count), 'f', 2);
}

double Measurement::valueOf(qint64 n)
{
    const double t = static_cast<double>(n);
    return kNominalValue + 4.0 * std::sin(t * 0.9) + 1.6 * std::sin(t * 2.3 + 0.4);
}

void Measurement::catchUp()
{
    if (!m_continuous)
        return;
    const qint64 now = m_nowMs();
    const qint64 ticks = (now - m_lastTickMs) / kContinuousPeriodMs;
    m_count += ticks;
    m_lastTickMs += ticks * kContinuousPeriodMs;
}

} // namespace kel::sim
