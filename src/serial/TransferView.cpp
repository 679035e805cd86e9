#include "serial/TransferView.h"

namespace kel::serial {

void TransferDisplay::setReadCaption(const QString& prefix, const QString& suffix)
{
    m_readPrefix = prefix;
    m_readSuffix = suffix;
}

void TransferDisplay::setReadPosition(qint64 nextPosition)
{
    m_readPosition = nextPosition;
    m_readShown = true;
    m_readChanged = true;
}

QString TransferDisplay::readText() const
{
    if (!m_readShown)
        return {};
    // The bytes received so far, the same count as the figures below it.
    return m_readPrefix + QLatin1Char(' ') + QString::number(m_readPosition - 1) +
           QLatin1Char(' ') + m_readSuffix;
}

void TransferDisplay::setBarMaximum(qint64 maximum)
{
    m_barMaximum = maximum;
    m_barChanged = true;
}

void TransferDisplay::setBarValue(qint64 value)
{
    m_barValue = value;
    m_barChanged = true;
}

void TransferDisplay::setTotal(qint64 total)
{
    m_total = total;
    m_figuresChanged = true;
}

void TransferDisplay::noteProgress(qint64 bytes, quint32 nowMs)
{
    m_rate.note(bytes, nowMs);
    m_figuresChanged = true;
}

TransferFigures TransferDisplay::figures() const
{
    TransferFigures figures;
    figures.done = m_rate.bytesDone();
    figures.total = m_total;
    figures.bytesPerSecond = m_rate.bytesPerSecond();
    figures.secondsLeft = m_rate.secondsLeft(m_total);
    return figures;
}

void TransferDisplay::reset()
{
    *this = TransferDisplay();
}

void TransferDisplay::publish(TransferView* view)
{
    if (!view)
        return;
    if (m_readChanged)
        view->setReadText(readText());
    if (m_barChanged)
        view->setProgress(m_barValue, m_barMaximum);
    if (m_figuresChanged)
        view->setFigures(figures());
    m_readChanged = false;
    m_barChanged = false;
    m_figuresChanged = false;
}

} // namespace kel::serial
