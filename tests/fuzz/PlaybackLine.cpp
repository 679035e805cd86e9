#include "PlaybackLine.h"

#include <algorithm>

namespace kel::fuzz {

PlaybackLine::PlaybackLine(QByteArray stream, Config config)
    : m_stream(std::move(stream)), m_config(std::move(config))
{
    if (m_config.release == Release::Streamed) {
        const int pace = std::max(m_config.bytesPerMs, 1);
        for (qsizetype i = 0; i < m_stream.size(); ++i)
            m_inFlight.add(m_config.firstArrivalMs + quint64(i / pace), m_stream[i]);
        m_released = m_stream.size();
    } else if (m_config.speaksFirst) {
        releaseBurst(m_config.firstArrivalMs);
    }
}

void PlaybackLine::releaseBurst(quint64 at)
{
    if (m_released >= m_stream.size())
        return;
    const QByteArrayView rest = QByteArrayView(m_stream).sliced(m_released);
    const qsizetype size =
        std::clamp<qsizetype>(m_config.burstSize ? m_config.burstSize(rest) : 1, 1, rest.size());
    for (qsizetype i = 0; i < size; ++i)
        m_inFlight.add(at, rest[i]);
    m_released += size;
}

void PlaybackLine::advance(quint64 ms)
{
    m_now += ms;
    m_inFlight.releaseInto(m_input, m_now);
    if (m_stopFlag && m_config.stopAtMs >= 0 && m_now >= quint64(m_config.stopAtMs))
        m_stopFlag->store(true);
}

void PlaybackLine::requireUsable() const
{
    if (m_config.hangUpAtMs >= 0 && m_now >= quint64(m_config.hangUpAtMs))
        throw serial::PortError(QStringLiteral("Input/output error"));
    if (!m_open)
        throw serial::PortError(QStringLiteral("The port is not open"));
}

bool PlaybackLine::open(const serial::PortOptions&, QString* error)
{
    if (m_open) {
        *error = QStringLiteral("The port is already open");
        return false;
    }
    m_open = true;
    return true;
}

qint64 PlaybackLine::bytesAvailable()
{
    requireUsable();
    return m_input.size();
}

void PlaybackLine::discardInput()
{
    requireUsable();
    m_input.clear();
}

QByteArray PlaybackLine::readAll()
{
    requireUsable();
    return m_input.takeAll();
}

QByteArray PlaybackLine::read(qint64 count)
{
    requireUsable();
    return m_input.take(count);
}

void PlaybackLine::write(const QByteArray& bytes)
{
    requireUsable();
    m_writes.append(bytes);
    if (m_config.release == Release::Answering)
        releaseBurst(m_now + 1);
}

void PlaybackLine::waitForMoreInput(int ms)
{
    requireUsable();
    // Time always moves, so that no polling loop can spin in place.
    const quint64 limit = m_now + quint64(std::max(ms, 1));
    const quint64 until =
        std::min(limit, std::max(m_inFlight.nextArrival().value_or(limit), m_now + 1));
    advance(until - m_now);
}

} // namespace kel::fuzz
