#pragma once
// The byte ports of the platform the program runs on. SystemBytePort is its serial port: the
// Win32 communications API on Windows, Qt SerialPort elsewhere. AnyBytePort, the one the
// programs hold, opens that port or a serial device server on the network as the device text
// says.

#include "serial/AnyBytePort.h"

namespace kel::serial {

using SystemBytePort = AnyBytePort::SerialPort;

} // namespace kel::serial
