#include "dialogs/NetDeviceText.h"

namespace kel {

namespace {

const QString kRfc2217 = QStringLiteral("rfc2217://");
const QString kRawTcp = QStringLiteral("tcp://");

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

NetDeviceParts splitNetDevice(const QString& device)
{
    NetDeviceParts parts;
    QString rest;
    if (device.startsWith(kRfc2217, Qt::CaseInsensitive)) {
        parts.choice = NetChoice::Rfc2217;
        rest = device.mid(kRfc2217.size());
    } else if (device.startsWith(kRawTcp, Qt::CaseInsensitive)) {
        parts.choice = NetChoice::RawTcp;
        rest = device.mid(kRawTcp.size());
    } else {
        return parts;
    }
    const qsizetype colon = rest.lastIndexOf(QLatin1Char(':'));
    parts.host = colon < 0 ? rest : rest.left(colon);
    parts.port = colon < 0 ? QString() : rest.mid(colon + 1);
    if (parts.host.startsWith(QLatin1Char('[')) && parts.host.endsWith(QLatin1Char(']')))
        parts.host = parts.host.mid(1, parts.host.size() - 2);
    return parts;
}

QString joinNetDevice(const NetDeviceParts& parts)
{
    bool number = false;
    const uint port = parts.port.trimmed().toUInt(&number);
    const QString host = parts.host.trimmed();
    if (parts.choice == NetChoice::None || !isHostText(host) || !number || port < 1 || port > 65535)
        return {};
    const QString bracketed =
        host.contains(QLatin1Char(':')) ? QLatin1Char('[') + host + QLatin1Char(']') : host;
    return (parts.choice == NetChoice::Rfc2217 ? kRfc2217 : kRawTcp) + bracketed +
           QLatin1Char(':') + QString::number(port);
}

} // namespace kel
