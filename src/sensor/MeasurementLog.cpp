#include "sensor/MeasurementLog.h"
#include "core/CsvLine.h"

namespace kel::sensor {

QString measurementLogLine(const QDateTime& time, const QString& code, const QString& value)
{
    return csvLine({isoTimeWithOffset(time), code, value});
}

} // namespace kel::sensor
