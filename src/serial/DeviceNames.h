#pragma once
// Which device a port number opens.
//
// On Windows port n is the device "COMn". Elsewhere the "Device" setting of section "COM",
// when it is set, names the device path and wins over the number; without it port n is
// "/dev/ttyS<n-1>" (port 1 is /dev/ttyS0, the first on-board serial port). A network address
// in the setting ("rfc2217://HOST:PORT", "tcp://HOST:PORT") wins on every platform.

#include <QString>

namespace kel::serial {

// The device to open for port and the "Device" setting; "" when the port number cannot name a
// device (below 1), which makes the open fail.
QString deviceForPort(qint16 port, const QString& deviceSetting);

// The same rule for a chosen platform; deviceForPort uses the running one.
QString deviceForPortOn(bool windows, qint16 port, const QString& deviceSetting);

// A device given as a path relative to folder ("s1/dev"), made absolute from there; a network
// address, an absolute path and a bare name ("ttyUSB0", which the serial port looks for in
// /dev) are returned as they are.
QString deviceFromFolder(const QString& device, const QString& folder);

// The path that opens a Windows device name: "\\.\COM10" for "COM10" (from COM10 up the bare
// name does not open), a path given in that form unchanged.
QString win32DevicePath(const QString& device);

} // namespace kel::serial
