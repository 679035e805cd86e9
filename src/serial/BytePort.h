#pragma once
// The one seam between the serial subsystem and a serial device: open with line parameters,
// count, discard and read buffered input without waiting, queue output. The QSerialPort
// implementation drives real devices and pseudo-terminals; tests drive a simulated line.

#include "serial/LineSettings.h"
#include "serial/NetworkFailure.h"

#include <QByteArray>
#include <QString>
#include <optional>
#include <stdexcept>

namespace kel::serial {

// A failure of an open port: the device was unplugged, an I/O error, or the port is not open.
// It is the "run-time failure" of the transfer and command functions: each documents where it
// is caught.
class PortError : public std::runtime_error {
public:
    explicit PortError(const QString& description)
        : std::runtime_error(description.toStdString()), m_description(description)
    {
    }
    // A connection to a device server that failed.
    explicit PortError(const NetworkFailure& failure) : PortError(failure.description())
    {
        m_network = failure;
    }
    QString description() const { return m_description; }
    const std::optional<NetworkFailure>& network() const { return m_network; }

private:
    QString m_description;
    std::optional<NetworkFailure> m_network;
};

// The most unread input a port holds. The sensor sends at most one block before it waits for
// an answer, so more than this is a line (or a server) that never stops talking: the oldest
// bytes go first, and memory stays bounded whatever arrives.
constexpr qint64 kInputLimit = 64 * 1024;

// Drops the oldest bytes of input beyond kInputLimit.
inline void keepWithinInputLimit(QByteArray& input)
{
    if (input.size() > kInputLimit)
        input.remove(0, input.size() - kInputLimit);
}

struct PortOptions {
    QString device; // device path or name, e.g. "/dev/ttyS0" or "COM1"
    LineSettings line;
    bool dtr = false; // DTR raised while open
    // Flow control is always off.
};

class BytePort {
public:
    virtual ~BytePort() = default;

    // Opens the device with the options. False, with *error saying why, when the device does
    // not exist, is in use, or (on a real serial device) refuses one of the settings; the port
    // is then closed. Opening an open port fails.
    virtual bool open(const PortOptions& options, QString* error) = 0;
    virtual void close() = 0; // harmless when closed
    virtual bool isOpen() const = 0;

    // The rest throw PortError when the port is not open or the device fails.

    // Bytes received and not yet read.
    virtual qint64 bytesAvailable() = 0;
    // Throws away everything received and not yet read.
    virtual void discardInput() = 0;
    // Everything buffered, at once; empty when nothing is.
    virtual QByteArray readAll() = 0;
    // Exactly count bytes when at least that many are buffered, else everything buffered.
    virtual QByteArray read(qint64 count) = 0;
    // Queues the bytes for sending in order; does not wait for them to leave the line.
    virtual void write(const QByteArray& bytes) = 0;
    // Blocks until bytes arrive that were not buffered at the call, or ms have passed. Lets a
    // polling loop sleep on the port instead of spinning; handles no events.
    virtual void waitForMoreInput(int ms) = 0;

    // What the port went on without at its last open that the operator should hear of (a
    // device server that does not set the line), once per port; empty otherwise. The line
    // hands it to LineNotices::showWarning.
    virtual QString takeWarning() { return {}; }
    // Why the connection to a device server failed, at the last open or since; nothing for
    // other ports and while it stands. Taken once.
    virtual std::optional<NetworkFailure> takeNetworkFailure() { return std::nullopt; }
};

} // namespace kel::serial
