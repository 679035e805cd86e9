#include "serial/SystemClock.h"

#include <QThread>

namespace kel::serial {

SystemClock::SystemClock()
{
    m_timer.start();
}

quint32 SystemClock::milliseconds()
{
    return static_cast<quint32>(m_timer.elapsed());
}

void SystemClock::sleep(int ms)
{
    if (ms > 0)
        QThread::msleep(static_cast<unsigned long>(ms));
}

} // namespace kel::serial
