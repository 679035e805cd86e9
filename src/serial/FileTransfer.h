#pragma once
// One XMODEM transfer of a file with the sensor, after the command that starts it has been
// answered "OK": the port opened for bytes, the file opened, the transfer, the messages, and
// file and port released on every path.

#include "serial/NetworkFailure.h"
#include "serial/SerialLink.h"

#include <QString>
#include <optional>

namespace kel::serial {

enum class TransferFailure {
    None,           // the transfer ran; code says how it ended
    PortCannotOpen, // XmOpenPort failed
    FileCannotOpen, // the file could not be opened (a file to send must exist)
    FileError,      // the file could not be read or written during the transfer
    FileNotWritten, // a received file could not be written: cancelled on the line, and told
    PortError,      // the port failed during the transfer
    Network,        // the device server could not be reached, or the connection failed during
                    // the transfer (NetworkCause::Dropped): network, and its message was shown
};

struct TransferOutcome {
    int code = -1; // XMODEM result code when the transfer ran, else -1
    TransferFailure failure = TransferFailure::None;
    QString detail;                        // the system's description of a failure
    std::optional<NetworkFailure> network; // with TransferFailure::Network

    bool succeeded() const { return failure == TransferFailure::None && code == 0; }
    explicit operator bool() const { return succeeded(); }
};

// Receives the file at path (created when missing, never truncated: callers delete an old
// one first). True when the sender's EOT was acknowledged. XM_DATA_ERROR and a device that
// fails in the middle (an adapter pulled out) show message 22, a connection to a device server
// that fails its network message, XM_TIMEOUT message 23; a file
// that cannot be written cancels the transfer and is told as a write failure; a stop, a cancel
// by the sensor and every other failure show nothing here (a failure to write a control byte
// was shown by the transfer). The port is closed before any message. expectedBytes, when not
// -1, is the size the sender announced in advance: the total that the progress shows.
TransferOutcome ReceiveFile(SerialLink& link, const QString& path, qint64 expectedBytes = -1);

// Sends the file at path, which must exist; sets the display's bar to 0 of the file's length
// first, and the file's length as the progress total. Results and messages as ReceiveFile.
TransferOutcome SendFile(SerialLink& link, const QString& path);

// Takes port as the transfer port unless one is held already.
void XmAttachPort(SerialLink& link, BytePort& port);
// Drops the transfer port.
void XmDetachPort(SerialLink& link);
// Opens the transfer port with the port (number or device) and the line settings text of
// config: no flow control, DTR low, input discarded. Throws PortError when the port is open
// already, the settings text is refused, or the device cannot be opened.
void XmOpenPort(SerialLink& link, const LineConfig& config);
// Closes the transfer port when it is open.
void XmClosePort(SerialLink& link);

} // namespace kel::serial
