#pragma once
// The COM ports the system knows of, for the settings dialog: on Windows the values of the
// registry key HKLM\HARDWARE\DEVICEMAP\SERIALCOMM (a driver's device name for each "COMn");
// nothing elsewhere, where devices are chosen by path.

#include <QList>
#include <QString>

namespace kel {

struct SystemComPort {
    int number = 0; // n of COMn
    QString device; // the driver's name, e.g. "\Device\Serial0"
};

// n for a port name "COMn" (1 to 256, any case); 0 for anything else.
int comPortNumber(const QString& name);

// By number; empty when the system names none or cannot be asked.
QList<SystemComPort> systemComPorts();

} // namespace kel
