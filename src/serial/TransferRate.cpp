#include "serial/TransferRate.h"

#include <cmath>

namespace kel::serial {

void TransferRate::reset()
{
    m_samples.clear();
    m_latest.reset();
}

void TransferRate::note(qint64 bytes, quint32 nowMs)
{
    m_latest = Sample{nowMs, bytes};
    if (m_samples.empty() || nowMs - m_samples.back().ms >= kSampleStepMs)
        m_samples.push_back(*m_latest);
    // Keep one sample at or beyond the window's start, so the window stays spanned.
    while (m_samples.size() > 1 && nowMs - m_samples[1].ms >= kWindowMs)
        m_samples.pop_front();
}

quint32 TransferRate::spanMs() const
{
    if (m_samples.empty() || !m_latest)
        return 0;
    return m_latest->ms - m_samples.front().ms;
}

std::optional<double> TransferRate::bytesPerSecond() const
{
    const quint32 span = spanMs();
    if (span < kMinimumSpanMs)
        return std::nullopt;
    return static_cast<double>(m_latest->bytes - m_samples.front().bytes) * 1000.0 / span;
}

std::optional<qint64> TransferRate::secondsLeft(qint64 total) const
{
    if (total < 0)
        return std::nullopt;
    const qint64 left = total - bytesDone();
    if (left <= 0)
        return 0;
    const std::optional<double> rate = bytesPerSecond();
    if (!rate || *rate <= 0.0 || spanMs() < kSteadySpanMs)
        return std::nullopt;
    return static_cast<qint64>(std::ceil(static_cast<double>(left) / *rate));
}

} // namespace kel::serial
