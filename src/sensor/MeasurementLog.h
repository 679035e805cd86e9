#pragma once
// The columns of a measurement log, the same wherever one is written (kelctl watch, the main
// window's trend): the local time with its offset from UTC, the result code and the measured
// value as the sensor sent them.

#include <QDateTime>
#include <QString>

namespace kel::sensor {

inline const QString kMeasurementLogHeader = QStringLiteral("time,code,value");

QString measurementLogLine(const QDateTime& time, const QString& code, const QString& value);

} // namespace kel::sensor
