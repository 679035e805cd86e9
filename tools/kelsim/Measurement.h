#pragma once
// The sensor's measurements: a single one on "M" or "M /I", a continuous series between
// "M /C" and "M /E" (one every kContinuousPeriodMs), and the result of the last one.

#include <QByteArray>
#include <functional>

namespace kel::sim {

constexpr qint64 kContinuousPeriodMs = 100;
// Measured values within this distance of the nominal value are judged good.
constexpr double kNominalValue = 100.0;
constexpr double kTolerance = 4.0;

class Measurement {
public:
    explicit Measurement(std::function<qint64()> nowMs) : m_nowMs(std::move(nowMs)) {}

    void measureOnce();
    void startContinuous();
    void endContinuous();
    bool continuous() const { return m_continuous; }

    // "-2" before any measurement, "-1" when the last value is out of tolerance, else "0".
    QByteArray resultCode();
    // The last measured value with two decimals; "0.00" before any measurement.
    QByteArray value();

    // The value of the n-th measurement (n from 1): it wanders around the nominal value and
    // now and then leaves the tolerance.
    static double valueOf(qint64 n);

private:
    void catchUp();

    std::function<qint64()> m_nowMs;
    qint64 m_count = 0;
    bool m_continuous = false;
    qint64 m_lastTickMs = 0;
};

} // namespace kel::sim
