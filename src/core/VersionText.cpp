#include "core/VersionText.h"

namespace kel {

ProgramVersion programVersion()
{
    return {KEL_VERSION_MAJOR, KEL_VERSION_MINOR, KEL_VERSION_PATCH};
}

QString versionLine(const QString& prefix, const ProgramVersion& version)
{
    return QStringLiteral("%1 %2.%3%4")
        .arg(prefix)
        .arg(version.major)
        .arg(version.minor, 2, 10, QLatin1Char('0'))
        .arg(version.revision);
}

} // namespace kel
