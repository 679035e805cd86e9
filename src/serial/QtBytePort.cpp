#include "serial/QtBytePort.h"
#include "serial/PseudoTerminal.h"

namespace kel::serial {

namespace {

QSerialPort::Parity toQt(Parity parity)
{
    switch (parity) {
    case Parity::Odd:
        return QSerialPort::OddParity;
    case Parity::Even:
        return QSerialPort::EvenParity;
    case Parity::Mark:
        return QSerialPort::MarkParity;
    case Parity::Space:
        return QSerialPort::SpaceParity;
    case Parity::None:
        break;
    }
    return QSerialPort::NoParity;
}

QSerialPort::StopBits toQt(StopBits stopBits)
{
    switch (stopBits) {
    case StopBits::OneAndHalf:
        return QSerialPort::OneAndHalfStop;
    case StopBits::Two:
        return QSerialPort::TwoStop;
    case StopBits::One:
        break;
    }
    return QSerialPort::OneStop;
}

} // namespace

bool QtBytePort::open(const PortOptions& options, QString* error)
{
    if (m_port.isOpen()) {
        *error = QStringLiteral("The port is already open");
        return false;
    }
    if (options.device.isEmpty()) {
        *error = QStringLiteral("No device for this port number");
        return false;
    }
    // QSerialPort applies its stored settings while opening and fails the open when one is
    // refused. Open with plain 8N1, which every terminal takes, and apply the real settings
    // afterwards, one by one, so that each refusal can be judged on its own.
    m_port.setPortName(options.device);
    m_port.setBaudRate(QSerialPort::Baud9600);
    m_port.setParity(QSerialPort::NoParity);
    m_port.setDataBits(QSerialPort::Data8);
    m_port.setStopBits(QSerialPort::OneStop);
    m_port.setFlowControl(QSerialPort::NoFlowControl);
    m_port.clearError();
    if (!m_port.open(QIODevice::ReadWrite)) {
        *error = m_port.errorString();
        m_port.clearError();
        return false;
    }
#ifdef Q_OS_UNIX
    m_pseudoTerminal = kel::serial::isPseudoTerminal(m_port.handle());
#else
    m_pseudoTerminal = false; // COM ports are serial lines
#endif

    const LineSettings& line = options.line;
    const bool applied =
        applySetting(m_port.setBaudRate(line.baudRate), "baud rate", error) &&
        applySetting(m_port.setParity(toQt(line.parity)), "parity", error) &&
        applySetting(m_port.setDataBits(static_cast<QSerialPort::DataBits>(line.dataBits)),
                     "data bits", error) &&
        applySetting(m_port.setStopBits(toQt(line.stopBits)), "stop bits", error) &&
        applySetting(m_port.setFlowControl(QSerialPort::NoFlowControl), "flow control", error) &&
        applySetting(m_port.setDataTerminalReady(options.dtr), "DTR", error);
    if (!applied) {
        m_port.close();
        m_port.clearError();
        return false;
    }
    return true;
}

bool QtBytePort::applySetting(bool applied, const char* what, QString* error)
{
    if (applied || m_pseudoTerminal) {
        m_port.clearError();
        return true;
    }
    *error = QStringLiteral("%1: %2").arg(QLatin1String(what), m_port.errorString());
    return false;
}

void QtBytePort::close()
{
    if (m_port.isOpen())
        m_port.close();
    m_port.clearError();
}

bool QtBytePort::isOpen() const
{
    return m_port.isOpen();
}

void QtBytePort::requireOpen()
{
    if (!m_port.isOpen())
        throw PortError(QStringLiteral("The port is not open"));
}

void QtBytePort::throwOnDeviceFailure()
{
    switch (m_port.error()) {
    case QSerialPort::ResourceError:
    case QSerialPort::ReadError:
    case QSerialPort::WriteError:
    case QSerialPort::NotOpenError: {
        const QString description = m_port.errorString();
        m_port.clearError();
        throw PortError(description);
    }
    default:
        m_port.clearError(); // a wait that timed out is no failure
        return;
    }
}

// Moves what the driver holds into the port's buffer, waiting up to ms for it. A line that never
// stops talking loses its oldest bytes beyond kInputLimit.
void QtBytePort::takeArrivedInput(int ms)
{
    requireOpen();
    m_port.waitForReadyRead(ms);
    throwOnDeviceFailure();
    if (const qint64 excess = m_port.bytesAvailable() - kInputLimit; excess > 0)
        m_port.skip(excess);
}

qint64 QtBytePort::bytesAvailable()
{
    takeArrivedInput(0);
    return m_port.bytesAvailable();
}

void QtBytePort::discardInput()
{
    takeArrivedInput(0);
    m_port.clear(QSerialPort::Input);
    m_port.readAll(); // what the buffer held besides the driver's queue
    throwOnDeviceFailure();
}

QByteArray QtBytePort::readAll()
{
    takeArrivedInput(0);
    return m_port.readAll();
}

QByteArray QtBytePort::read(qint64 count)
{
    takeArrivedInput(0);
    return m_port.read(count);
}

void QtBytePort::write(const QByteArray& bytes)
{
    requireOpen();
    if (m_port.write(bytes) != bytes.size()) {
        throwOnDeviceFailure();
        throw PortError(m_port.errorString());
    }
    m_port.flush(); // hand the bytes to the driver now; no event loop runs on the line's thread
    throwOnDeviceFailure();
}

void QtBytePort::waitForMoreInput(int ms)
{
    takeArrivedInput(ms);
}

} // namespace kel::serial
