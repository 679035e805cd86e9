#pragma once

#ifdef _WIN32
// Qt SerialPort is not part of the Windows build: code that names this port there gets the
// Win32 one, which behaves the same towards its users.
#include "serial/WinBytePort.h"
namespace kel::serial {
using QtBytePort = WinBytePort;
}
#else

// The byte port over QSerialPort, for serial devices and pseudo-terminals.
//
// On a pseudo-terminal (the simulated sensor, tests, socat) the line controls are meaningless
// and the kernel refuses some of them: DTR fails with "Inappropriate ioctl for device" and a
// parity or fewer than 8 data bits are rejected. There a refused line setting is skipped and
// the open succeeds. On a real serial device every refused setting fails the open.

#include "serial/BytePort.h"

#include <QSerialPort>

namespace kel::serial {

class QtBytePort : public BytePort {
public:
    bool open(const PortOptions& options, QString* error) override;
    void close() override;
    bool isOpen() const override;

    qint64 bytesAvailable() override;
    void discardInput() override;
    QByteArray readAll() override;
    QByteArray read(qint64 count) override;
    void write(const QByteArray& bytes) override;
    void waitForMoreInput(int ms) override;

    // Whether the open device is a pseudo-terminal.
    bool isPseudoTerminal() const { return m_pseudoTerminal; }

private:
    bool applySetting(bool applied, const char* what, QString* error);
    void requireOpen();
    void throwOnDeviceFailure();
    void takeArrivedInput(int ms);

    QSerialPort m_port;
    bool m_pseudoTerminal = false;
};

} // namespace kel::serial

#endif
