#include "sensor/FetchPreview.h"

namespace kel::sensor {

FetchPreview::FetchPreview(const SensorImage& header, ImageKind kind, serial::Clock& clock,
                           std::function<void(const PartialPicture&)> shown)
    : m_picture(header, kind), m_clock(clock), m_shown(std::move(shown))
{
}

void FetchPreview::blockAccepted(qint64 offset, QByteArrayView data)
{
    m_picture.write(offset, data);
    const int ready = m_picture.finalRows();
    const bool bandCompleted = ready >= m_picture.convertedRows() + kBandRows ||
                               (ready == m_picture.height() && ready > m_picture.convertedRows());
    if (!bandCompleted)
        return;
    const quint32 now = m_clock.milliseconds();
    if (m_lastShownMs && now - *m_lastShownMs < kMinimumGapMs)
        return;
    m_lastShownMs = now;
    m_picture.convert();
    ++m_updates;
    if (m_shown)
        m_shown(m_picture);
}

} // namespace kel::sensor
