#pragma once
// Lines of the measurement log: comma-separated fields, quoted only where a field holds a
// comma, a quote or a line break, and times with their offset from UTC so that logs of
// machines in different zones, or across a change of summer time, line up.

#include <QDateTime>
#include <QStringList>

namespace kel {

QString csvLine(const QStringList& fields);

// "2026-12-09T10:33:25.120+09:00": local time to the millisecond (readings come several a
// second) and its offset.
QString isoTimeWithOffset(const QDateTime& time);

} // namespace kel
