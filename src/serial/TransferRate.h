#pragma once
// The rate of a transfer and the time it still needs, from the bytes done at moments of the
// link's clock. The rate is taken over the last few seconds, so a pause (a block repeated after
// a time-out) shows at once and fades again, and the time before the first block (the start
// request, the sender's first answer) never counts.

#include <QtGlobal>
#include <deque>
#include <optional>

namespace kel::serial {

class TransferRate {
public:
    static constexpr quint32 kWindowMs = 5000;     // the span the rate is taken over
    static constexpr quint32 kMinimumSpanMs = 500; // shorter spans give no rate yet
    static constexpr quint32 kSampleStepMs = 100;  // closer notes replace the newest
    // The first second of a transfer runs slower than the rest (the receiver's first rows, the
    // sender settling), so a time left taken from it overestimates: none is told before the
    // samples span this long.
    static constexpr quint32 kSteadySpanMs = 3000;

    // A new transfer: no samples.
    void reset();
    // bytes done so far at nowMs (the link's millisecond clock, which may wrap).
    void note(qint64 bytes, quint32 nowMs);

    qint64 bytesDone() const { return m_latest ? m_latest->bytes : 0; }
    // Bytes per second over the window; nothing until the samples span kMinimumSpanMs.
    std::optional<double> bytesPerSecond() const;
    // Whole seconds, rounded up, until total at that rate; nothing without a rate or a total
    // (total < 0) or before kSteadySpanMs, 0 once total is reached.
    std::optional<qint64> secondsLeft(qint64 total) const;

private:
    quint32 spanMs() const;

    struct Sample {
        quint32 ms;
        qint64 bytes;
    };
    std::deque<Sample> m_samples; // at least kSampleStepMs apart, oldest first
    std::optional<Sample> m_latest;
};

} // namespace kel::serial
