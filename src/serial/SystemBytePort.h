#pragma once
// The byte port of the platform the program runs on: the Win32 communications API on Windows,
// Qt SerialPort elsewhere.

#ifdef _WIN32
#include "serial/WinBytePort.h"
#else
#include "serial/QtBytePort.h"
#endif

namespace kel::serial {

#ifdef _WIN32
using SystemBytePort = WinBytePort;
#else
using SystemBytePort = QtBytePort;
#endif

} // namespace kel::serial
