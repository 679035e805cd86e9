#include "SensorList.h"

#include "core/MessageNumbers.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

namespace kelctl {

namespace {

// A list names a plant's sensors, not millions of them.
constexpr qint64 kListLimit = 1024 * 1024;

bool usableName(const QString& name)
{
    static const QRegularExpression allowed(QStringLiteral("^[A-Za-z0-9._-]+$"));
    return allowed.match(name).hasMatch() && name != QLatin1String(".") &&
           name != QLatin1String("..");
}

} // namespace

std::optional<QList<SensorEntry>>
readSensorList(const QString& path, const std::function<QString(int)>& text, QString* error)
{
    const QString shown = QDir::toNativeSeparators(path);
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly | QIODevice::Text) || in.size() > kListLimit) {
        *error = in.isOpen() ? text(kel::KelctlListTooLong).arg(shown)
                             : QStringLiteral("%1: %2").arg(shown, in.errorString());
        return std::nullopt;
    }
    QList<SensorEntry> sensors;
    const QStringList lines = QString::fromUtf8(in.readAll()).split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const qsizetype gap = line.indexOf(QRegularExpression(QStringLiteral("\\s")));
        const SensorEntry entry{line.left(gap), gap < 0 ? QString() : line.mid(gap).trimmed()};
        if (!usableName(entry.name) || entry.device.isEmpty()) {
            *error = text(kel::KelctlSensorLineBad).arg(shown).arg(i + 1);
            return std::nullopt;
        }
        for (const SensorEntry& earlier : sensors) {
            if (earlier.name.compare(entry.name, Qt::CaseInsensitive) == 0) {
                *error = text(kel::KelctlSensorNameTwice).arg(shown).arg(i + 1);
                return std::nullopt;
            }
        }
        sensors.append(entry);
    }
    if (sensors.isEmpty()) {
        *error = text(kel::KelctlSensorListEmpty).arg(shown);
        return std::nullopt;
    }
    return sensors;
}

} // namespace kelctl
