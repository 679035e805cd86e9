#pragma once
// Time as the serial subsystem sees it. Every time-out is measured on this clock, so tests can
// run the longest waits (130 s without a sender) in virtual time.

#include <QtGlobal>

namespace kel::serial {

class Clock {
public:
    virtual ~Clock() = default;
    // A millisecond timer that wraps after 2^32 ms: elapsed times are quint32 differences.
    virtual quint32 milliseconds() = 0;
    // Passed by every wait of a transfer on each slice, right before it looks at the stop
    // request: a simulated clock may let time or a scripted stop happen here. The line runs on
    // a thread of its own, so the system clock has nothing to do here.
    virtual void checkpoint() = 0;
    // Blocks for about ms without handling events; used in short slices only.
    virtual void sleep(int ms) = 0;
};

// Milliseconds from start to now, correct across a wrap of the timer.
inline quint32 elapsedSince(Clock& clock, quint32 start)
{
    return clock.milliseconds() - start;
}

} // namespace kel::serial
