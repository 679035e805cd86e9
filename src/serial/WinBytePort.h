#pragma once
// The byte port over the Win32 communications API, for COM ports on Windows (Qt SerialPort is
// not part of the Windows build).
//
// Virtual COM ports (USB and Bluetooth adapters, Wine's ports on a terminal) may refuse DTR
// control while carrying data normally, so a refused DTR does not fail the open: the port goes
// on without it and tells the warning handler, once per port object. Every other refused
// setting fails the open.

#include "serial/BytePort.h"

#include <functional>

namespace kel::serial {

class WinBytePort : public BytePort {
public:
    WinBytePort() = default;
    ~WinBytePort() override;
    WinBytePort(const WinBytePort&) = delete;
    WinBytePort& operator=(const WinBytePort&) = delete;

    // Told of what the port went on without; no handler: nothing is said.
    void setWarningHandler(std::function<void(const QString&)> handler);

    bool open(const PortOptions& options, QString* error) override;
    void close() override;
    bool isOpen() const override;

    qint64 bytesAvailable() override;
    void discardInput() override;
    QByteArray readAll() override;
    QByteArray read(qint64 count) override;
    void write(const QByteArray& bytes) override;
    void waitForMoreInput(int ms) override;

private:
    bool configure(const PortOptions& options, QString* error);
    void requireOpen() const;
    [[noreturn]] void fail(const char* what);
    void takeArrivedInput();
    void readFromDriver(unsigned long count, unsigned long waitMs);

    void* m_handle = nullptr; // a HANDLE; null when closed
    QString m_device;
    QByteArray m_input; // taken from the driver, not yet read
    unsigned long m_waitMs = 0;
    unsigned long m_writeMsPerByte = 0;
    bool m_dtrWarned = false;
    std::function<void(const QString&)> m_warn;
};

} // namespace kel::serial
