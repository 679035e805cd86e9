#pragma once
// The port the programs hold: at each open it takes the network port for a device text of
// NetAddress.h ("rfc2217://HOST:PORT", "tcp://HOST:PORT") and the platform's serial port for
// any other device, and hands every call to the one it opened.

#include "serial/BytePort.h"
#include "serial/NetBytePort.h"

#ifdef _WIN32
#include "serial/WinBytePort.h"
#else
#include "serial/QtBytePort.h"
#endif

#include <functional>
#include <utility>

namespace kel::serial {

class AnyBytePort : public BytePort {
public:
#ifdef _WIN32
    using SerialPort = WinBytePort;
#else
    using SerialPort = QtBytePort;
#endif

    bool open(const PortOptions& options, QString* error) override;
    void close() override;
    bool isOpen() const override;

    qint64 bytesAvailable() override;
    void discardInput() override;
    QByteArray readAll() override;
    QByteArray read(qint64 count) override;
    void write(const QByteArray& bytes) override;
    void waitForMoreInput(int ms) override;
    QString takeWarning() override;
    std::optional<NetworkFailure> takeNetworkFailure() override;

    SerialPort& serialPort()
    {
        return m_serial;
    }
#ifdef _WIN32
    // What the COM port goes on without (DTR control refused); see WinBytePort.
    void setWarningHandler(std::function<void(const QString&)> handler)
    {
        m_serial.setWarningHandler(std::move(handler));
    }
#endif

private:
    BytePort& current()
    {
        return *m_current;
    }

    SerialPort m_serial;
    NetBytePort m_net;
    BytePort* m_current = &m_serial; // the one opened last
};

} // namespace kel::serial
