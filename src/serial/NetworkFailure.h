#pragma once
// Why a connection to a serial device server failed, named by cause so that the operator hears
// it in the window's language with the server named once, and kelctl gives one exit status for
// one cause whatever the route (raw TCP or Telnet).

#include "serial/LineNotices.h"

#include <QString>

namespace kel::serial {

enum class NetworkCause {
    UnknownHost, // the host name does not resolve
    Refused,     // nothing listens on the port
    NoAnswer,    // no answer to the connect in time
    Closed,      // the server closed (or reset) the connection
    Dropped,     // the connection failed during a file transfer
    Other,       // any other failure; reason holds the system's text
};

struct NetworkFailure {
    NetworkCause cause = NetworkCause::Other;
    QString peer;           // "HOST:PORT"
    QString reason;         // the system's account, in English: for logs and NetworkCause::Other
    bool connected = false; // the connection had been made when it failed

    // "HOST:PORT: reason", for a PortError's description.
    QString description() const { return peer + QStringLiteral(": ") + reason; }
};

// The line's message for the failure and its detail: the server alone for a cause the message
// words itself, the server and the system's reason otherwise.
inline LineMessage messageOf(const NetworkFailure& failure)
{
    switch (failure.cause) {
    case NetworkCause::UnknownHost:
        return LineMessage::NetUnknownHost;
    case NetworkCause::Refused:
        return LineMessage::NetRefused;
    case NetworkCause::NoAnswer:
        return LineMessage::NetNoAnswer;
    case NetworkCause::Closed:
        return LineMessage::NetClosed;
    case NetworkCause::Dropped:
        return LineMessage::NetDropped;
    case NetworkCause::Other:
        break;
    }
    return LineMessage::NetFailed;
}

inline QString detailOf(const NetworkFailure& failure)
{
    return failure.cause == NetworkCause::Other ? failure.description() : failure.peer;
}

} // namespace kel::serial
