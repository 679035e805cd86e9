#pragma once
// One command line to the sensor and its one reply line, on a port opened for that exchange.

#include "serial/NetworkFailure.h"
#include "serial/SerialLink.h"

#include <QString>
#include <optional>

namespace kel::serial {

constexpr int kReplyTimeoutMs = 5000; // whole exchange, from just before the line is sent
// A reply line longer than this is noise (the sensor's longest is a few dozen characters):
// the exchange ends at once without a reply rather than collect a line that never ends.
constexpr qsizetype kLongestReply = 1024;

// Why SendCommand returned what it did, for callers that need more than the reply text.
enum class CommandFailure {
    None,           // a reply came (it may be "ER")
    PortCannotOpen, // message 21 was shown with the device and the system's reason
    NoReply,        // no delimited reply in time, an empty one or one longer than
                    // kLongestReply; message 22 was shown
    RuntimeFailure, // the device failed meanwhile (message 22 was shown), or the "ER" message
                    // could not be shown
    Network,        // the device server could not be reached or its connection failed: the
                    // message of network was shown
};

struct CommandOutcome {
    CommandFailure failure = CommandFailure::None;
    QString detail;                        // the system's description of a port or message failure
    std::optional<NetworkFailure> network; // with CommandFailure::Network
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
// first. 0 when open and configured, 1 when a step failed (*failure then says which, and
// *network why when the port is a connection to a device server).
int OpenPort(SerialLink& link, QString* failure = nullptr,
             std::optional<NetworkFailure>* network = nullptr);

// Closes the port when it is open.
void ClosePort(SerialLink& link);

// Sends the line on the open port and waits for the reply; "" after the time-out and for a line
// longer than kLongestReply. Throws PortError when the port fails.
QString ExchangeLine(SerialLink& link, const QString& command);

} // namespace kel::serial
