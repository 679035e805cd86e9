#pragma once
// The clock of a running program: a monotonic millisecond timer. Safe to read from any thread.

#include "serial/Clock.h"

#include <QElapsedTimer>

namespace kel::serial {

class SystemClock : public Clock {
public:
    SystemClock();

    quint32 milliseconds() override;
    void checkpoint() override {}
    void sleep(int ms) override;

private:
    QElapsedTimer m_timer;
};

} // namespace kel::serial
