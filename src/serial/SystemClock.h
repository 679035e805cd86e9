#pragma once
// The clock of a running program: a monotonic millisecond timer and the Qt event loop.

#include "serial/Clock.h"

#include <QElapsedTimer>

namespace kel::serial {

class SystemClock : public Clock {
public:
    SystemClock();

    quint32 milliseconds() override;
    // Runs pending events of the calling thread; nothing happens without a Qt application.
    void yieldToEventLoop() override;
    void sleep(int ms) override;

private:
    QElapsedTimer m_timer;
};

} // namespace kel::serial
