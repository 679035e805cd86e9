#pragma once
// One command line to the sensor and its one reply line, on a port opened for that exchange.

#include "serial/SerialLink.h"

#include <QString>

namespace kel::serial {

constexpr int kReplyTimeoutMs = 5000; // whole exchange, from just before the line is sent

// Why SendCommand returned what it did, for callers that need more than the reply text.
enum class CommandFailure {
    None,           // a reply came (it may be "ER")
    PortCannotOpen, // message 21 was shown with the device and the system's reason
    NoReply,        // no delimited reply in time, or an empty one; message 22 was shown
    RuntimeFailure, // the device failed meanwhile (message 22 was shown), or the "ER" message
                    // could not be shown
};

struct CommandOutcome {
    CommandFailure failure = CommandFailure::None;
    QString detail; // the system's description of a port or message failure
};

// Opens the port, sends the command without its surrounding spaces followed by the
// delimiter, and returns the reply up to the delimiter. Returns "" when the port cannot be
// opened (message 21), when no complete reply comes within 5000 ms (message 22), and when the
// device fails meanwhile, such as an adapter pulled out (message 22 too, after the port is
// closed); a reply "ER" is returned after message 24. The port is closed on every path. Does not
// look at blnStop: a command, once sent, waits for its reply. The first command after a receive
// that gets no reply listens on for the EOT of a sender that missed the ACK of its end (at most
// the sender's answer time-out and a margin), acknowledges it and is sent once more.
QString SendCommand(SerialLink& link, const QString& command, CommandOutcome* outcome = nullptr);

// Opens the port for commands with the current settings: port number (or "Device" setting),
// line parameters, no flow control, DTR raised, input discarded. A port left open is closed
// first. 0 when open and configured, 1 when a step failed (*failure then says which).
int OpenPort(SerialLink& link, QString* failure = nullptr);

// Closes the port when it is open.
void ClosePort(SerialLink& link);

// Sends the line on the open port and waits for the reply; "" after the time-out. Throws
// PortError when the port fails.
QString ExchangeLine(SerialLink& link, const QString& command);

} // namespace kel::serial
