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

std::optional<NetAddress> parseNetDevice(const QString& device, QString* problem)
{
    NetAddress address;
    QString rest;
    if (device.startsWith(kRfc2217Prefix, Qt::CaseInsensitive)) {
        address.protocol = NetProtocol::Rfc2217;
        rest = device.mid(kRfc2217Prefix.size());
    } else if (device.startsWith(kTcpPrefix, Qt::CaseInsensitive)) {
        address.protocol = NetProtocol::RawTcp;
        rest = device.mid(kTcpPrefix.size());
    } else {
        return rejected(problem, QStringLiteral("not a network address"));
    }
    const qsizetype colon = rest.lastIndexOf(QLatin1Char(':'));
    if (colon < 0)
        return rejected(problem, QStringLiteral("no port after the host (HOST:PORT)"));
    QString host = rest.left(colon);
    if (host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']')))
        host = host.mid(1, host.size() - 2);
    else if (host.contains(QLatin1Char(':')))
        return rejected(problem, QStringLiteral("an IPv6 address goes in brackets"));
    if (host.isEmpty() || host.contains(QLatin1Char(' ')) || host.contains(QLatin1Char('/')))
        return rejected(problem, QStringLiteral("no host name"));
    bool number = false;
    const uint port = rest.mid(colon + 1).toUInt(&number);
    if (!number || port < 1 || port > 65535)
        return rejected(problem, QStringLiteral("the port is not a number from 1 to 65535"));
    address.host = host;
    address.port = static_cast<quint16>(port);
    return address;
}

} // namespace kel::serial
