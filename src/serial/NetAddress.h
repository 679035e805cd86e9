#pragma once
// The device texts that name a sensor behind a serial device server on the network:
// "rfc2217://HOST:PORT" (Telnet with the COM-PORT-OPTION, the server's line set from the line
// settings) and "tcp://HOST:PORT" (raw bytes, the line as the server has it). HOST is a name,
// an IPv4 address or an IPv6 address in brackets ("[::1]").

#include <QString>
#include <optional>

namespace kel::serial {

enum class NetProtocol { Rfc2217, RawTcp };

struct NetAddress {
    NetProtocol protocol = NetProtocol::Rfc2217;
    QString host; // without brackets
    quint16 port = 0;
};

// A text that starts like a network address, in its parts as written: the host without brackets,
// the port as text. The settings dialog shows them in its fields; parseNetDevice checks them.
struct NetDeviceParts {
    NetProtocol protocol = NetProtocol::Rfc2217;
    QString host;
    QString port; // empty when the text has no ":PORT"
};
std::optional<NetDeviceParts> splitNetDevice(const QString& device);

// The device text for the parts (the host and port trimmed, an IPv6 host put in brackets); empty
// when the host is no host name or address, or the port no number from 1 to 65535.
QString joinNetDevice(const NetDeviceParts& parts);

// Whether text is a host name (letters, digits, '-', '.', '_') or an IPv4 or IPv6 address.
bool isHostText(const QString& text);

// Whether the device text starts like a network address (a malformed one included, which then
// fails to open with the reason rather than being taken for a device path).
bool isNetDevice(const QString& device);

// The address the text names; nothing when it is no network address or its host or port is
// missing or wrong (a port outside 1 to 65535). *problem, when given, says what is wrong.
std::optional<NetAddress> parseNetDevice(const QString& device, QString* problem = nullptr);

} // namespace kel::serial
