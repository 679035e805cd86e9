#include "serial/DeviceNames.h"
#include "serial/NetAddress.h"

#include <QDir>

namespace kel::serial {

QString deviceForPortOn(bool windows, qint16 port, const QString& deviceSetting)
{
    // A network address names no device of the system, so Windows takes it from the setting too.
    if (windows && !isNetDevice(deviceSetting))
        return port >= 1 ? QStringLiteral("COM%1").arg(port) : QString();
    if (!deviceSetting.isEmpty())
        return deviceSetting;
    return port >= 1 ? QStringLiteral("/dev/ttyS%1").arg(port - 1) : QString();
}

QString deviceFromFolder(const QString& device, const QString& folder)
{
    if (device.isEmpty() || isNetDevice(device) || QDir::isAbsolutePath(device) ||
        !device.contains(QLatin1Char('/')))
        return device;
    return QDir::cleanPath(QDir(folder).absoluteFilePath(device));
}

QString win32DevicePath(const QString& device)
{
    const QString prefix = QStringLiteral("\\\\.\\");
    return device.startsWith(prefix) ? device : prefix + device;
}

QString deviceForPort(qint16 port, const QString& deviceSetting)
{
#ifdef Q_OS_WIN
    return deviceForPortOn(true, port, deviceSetting);
#else
    return deviceForPortOn(false, port, deviceSetting);
#endif
}

} // namespace kel::serial
