#pragma once
// The one seam between the serial subsystem and a serial device: open with line parameters,
// count, discard and read buffered input without waiting, queue output. The QSerialPort
// implementation drives real devices and pseudo-terminals; tests drive a simulated line.

#include "serial/LineSettings.h"

#include <QByteArray>
#include <QString>
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
    QString description() const { return m_description; }

private:
    QString m_description;
};

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
};

} // namespace kel::serial
