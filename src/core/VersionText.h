#pragma once

#include <QString>

namespace kel {

struct ProgramVersion {
    int major = 0;
    int minor = 0;
    int revision = 0;
};

ProgramVersion programVersion();

// prefix, a blank, major "." minor with at least two digits, and the revision right after it:
// version 1.10 revision 0 reads "1.100", version 1.5 revision 3 reads "1.053".
QString versionLine(const QString& prefix, const ProgramVersion& version);

} // namespace kel
