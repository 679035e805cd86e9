#include "serial/AnyBytePort.h"
#include "serial/NetAddress.h"

namespace kel::serial {

bool AnyBytePort::open(const PortOptions& options, QString* error)
{
    if (isOpen()) {
        *error = QStringLiteral("The port is already open");
        return false;
    }
    m_current = isNetDevice(options.device) ? static_cast<BytePort*>(&m_net) : &m_serial;
    return m_current->open(options, error);
}

void AnyBytePort::close()
{
    current().close();
}

bool AnyBytePort::isOpen() const
{
    return m_current->isOpen();
}

qint64 AnyBytePort::bytesAvailable()
{
    return current().bytesAvailable();
}

void AnyBytePort::discardInput()
{
    current().discardInput();
}

QByteArray AnyBytePort::readAll()
{
    return current().readAll();
}

QByteArray AnyBytePort::read(qint64 count)
{
    return current().read(count);
}

void AnyBytePort::write(const QByteArray& bytes)
{
    current().write(bytes);
}

void AnyBytePort::waitForMoreInput(int ms)
{
    current().waitForMoreInput(ms);
}

QString AnyBytePort::takeWarning()
{
    return current().takeWarning();
}

std::optional<NetworkFailure> AnyBytePort::takeNetworkFailure()
{
    return current().takeNetworkFailure();
}

} // namespace kel::serial
