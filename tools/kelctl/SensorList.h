#pragma once
// A list of sensors: one line each, a name and the device its line is on ("NAME DEVICE"), the
// device taken as written, so port numbers, device paths and network devices all pass through.
// Blank lines and lines starting with "#" are skipped. A name becomes a folder, so it is kept
// to letters, digits, "-", "_" and "." and must differ from every other (case aside).

#include <QList>
#include <QString>
#include <functional>
#include <optional>

namespace kelctl {

struct SensorEntry {
    QString name;
    QString device;
};

// The sensors of the list at path, or nothing with *error worded by text (a text number of
// the kelctl section).
std::optional<QList<SensorEntry>>
readSensorList(const QString& path, const std::function<QString(int)>& text, QString* error);

} // namespace kelctl
