#include "sensor/SetProgress.h"

#include <algorithm>

namespace kel::sensor {

SetProgress::SetProgress(int transfers, qint64 totalBytes)
    : m_transfers(transfers), m_total(totalBytes)
{
}

void SetProgress::transferDone(qint64 bytes)
{
    ++m_transfersDone;
    m_bytesDone += bytes;
}

serial::TransferFigures SetProgress::figures(const serial::TransferFigures& running, quint32 nowMs)
{
    serial::TransferFigures set;
    set.done = m_bytesDone + std::max<qint64>(running.done, 0);
    set.total = m_total;
    m_rate.note(set.done, nowMs);
    set.bytesPerSecond = m_rate.bytesPerSecond();
    qint64 expected = m_total;
    if (expected < 0 && m_transfersDone > 0)
        expected = std::max(set.done, m_bytesDone * m_transfers / m_transfersDone);
    set.secondsLeft = m_rate.secondsLeft(expected);
    return set;
}

} // namespace kel::sensor
