#include "serial/NetAddress.h"

namespace kel::serial {

namespace {

const QString kRfc2217Prefix = QStringLiteral("rfc2217://");
const QString kTcpPrefix = QStringLiteral("tcp://");

std::optional<NetAddress> rejected(QString* problem, const QString& why)
{
    if (problem)
        *problem = why;
    return std::nullopt;
}

} // namespace

bool isNetDevice(const QString& device)
{
    return device.startsWith(kRfc2217Prefix, Qt::CaseInsensitive) ||
           device.startsWith(kTcpPrefix, Qt::CaseInsensitive);
}

std::optional<NetDeviceParts> splitNetDevice(const QString& device)
{
    NetDeviceParts parts;
    QString rest;
    if (device.startsWith(kRfc2217Prefix, Qt::CaseInsensitive)) {
        parts.protocol = NetProtocol::Rfc2217;
        rest = device.mid(kRfc2217Prefix.size());
    } else if (device.startsWith(kTcpPrefix, Qt::CaseInsensitive)) {
        parts.protocol = NetProtocol::RawTcp;
        rest = device.mid(kTcpPrefix.size());
    } else {
        return std::nullopt;
    }
    // The port follows the last colon, unless that colon is inside a bracketed IPv6 host.
    const qsizetype colon = rest.lastIndexOf(QLatin1Char(':'));
    const bool portGiven = colon >= 0 && colon > rest.lastIndexOf(QLatin1Char(']'));
    parts.host = portGiven ? rest.left(colon) : rest;
    parts.port = portGiven ? rest.mid(colon + 1) : QString();
    if (parts.host.startsWith(QLatin1Char('[')) && parts.host.endsWith(QLatin1Char(']')))
        parts.host = parts.host.mid(1, parts.host.size() - 2);
    return parts;
}

std::optional<NetAddress> parseNetDevice(const QString& device, QString* problem)
{
    const std::optional<NetDeviceParts> parts = splitNetDevice(device);
    if (!parts)
        return rejected(problem, QStringLiteral("not a network address"));
    const QString rest = device.mid(device.indexOf(QStringLiteral("//")) + 2);
    if (!rest.contains(QLatin1Char(':')))
        return rejected(problem, QStringLiteral("no port after the host (HOST:PORT)"));
    const bool bracketed = rest.startsWith(QLatin1Char('['));
    if (!bracketed && parts->host.contains(QLatin1Char(':')))
        return rejected(problem, QStringLiteral("an IPv6 address goes in brackets"));
    const QString& host = parts->host;
    if (host.isEmpty() || host.contains(QLatin1Char(' ')) || host.contains(QLatin1Char('/')))
        return rejected(problem, QStringLiteral("no host name"));
    bool number = false;
    const uint port = parts->port.toUInt(&number);
    if (!number || port < 1 || port > 65535)
        return rejected(problem, QStringLiteral("the port is not a number from 1 to 65535"));
    NetAddress address;
    address.protocol = parts->protocol;
    address.host = host;
    address.port = static_cast<quint16>(port);
    return address;
}

namespace {

bool isHostCharacter(QChar c, bool address6)
{
    if (c.unicode() > 127)
        return false;
    if (c.isLetterOrNumber())
        return true;
    return address6 ? c == QLatin1Char(':') || c == QLatin1Char('.')
                    : c == QLatin1Char('-') || c == QLatin1Char('.') || c == QLatin1Char('_');
}

} // namespace

bool isHostText(const QString& text)
{
    if (text.isEmpty() || text.size() > 253)
        return false;
    const bool address6 = text.contains(QLatin1Char(':'));
    for (const QChar c : text)
        if (!isHostCharacter(c, address6))
            return false;
    return true;
}

QString joinNetDevice(const NetDeviceParts& parts)
{
    bool number = false;
    const uint port = parts.port.trimmed().toUInt(&number);
    const QString host = parts.host.trimmed();
    if (!isHostText(host) || !number || port < 1 || port > 65535)
        return {};
    const QString bracketed =
        host.contains(QLatin1Char(':')) ? QLatin1Char('[') + host + QLatin1Char(']') : host;
    return (parts.protocol == NetProtocol::Rfc2217 ? kRfc2217Prefix : kTcpPrefix) + bracketed +
           QLatin1Char(':') + QString::number(port);
}

} // namespace kel::serial
