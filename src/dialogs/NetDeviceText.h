#pragma once
// The network choice of the communication settings dialog and the "Device" setting it stands
// for: "rfc2217://HOST:PORT" or "tcp://HOST:PORT" (an IPv6 HOST in brackets).

#include <QString>

namespace kel {

enum class NetChoice { None, Rfc2217, RawTcp };

struct NetDeviceParts {
    NetChoice choice = NetChoice::None; // None: the setting is no network address
    QString host;                       // without brackets
    QString port;
};

NetDeviceParts splitNetDevice(const QString& device);

// The setting for the parts; empty when the host is no host name or address, or the port is
// not a number from 1 to 65535 (or the choice is None).
QString joinNetDevice(const NetDeviceParts& parts);

// Whether text is a host name (letters, digits, '-', '.', '_') or an IPv4 or IPv6 address.
bool isHostText(const QString& text);

} // namespace kel
