#include "serial/NetBytePort.h"
#include "serial/NetAddress.h"

#include <chrono>
#include <utility>

namespace kel::serial {

namespace {

using Clock = std::chrono::steady_clock;

int msLeft(Clock::time_point deadline)
{
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

} // namespace

bool NetBytePort::open(const PortOptions& options, QString* error)
{
    if (m_socket.isOpen()) {
        *error = QStringLiteral("The port is already open");
        return false;
    }
    const std::optional<NetAddress> address = parseNetDevice(options.device, error);
    if (!address)
        return false;
    if (!m_socket.connectTo(address->host, address->port, kConnectTimeoutMs, error))
        return false;
    m_input.clear();
    m_codec = TelnetCodec();
    m_telnet = address->protocol == NetProtocol::Rfc2217;
    m_comPort = false;
    m_purgePending = false;
    if (!m_telnet)
        return true;
    try {
        negotiate(options, QStringLiteral("%1:%2").arg(address->host).arg(address->port));
    } catch (const PortError& failure) {
        *error = failure.description();
        close();
        return false;
    }
    return true;
}

void NetBytePort::negotiate(const PortOptions& options, const QString& peer)
{
    m_socket.send(m_codec.opening(), kSendTimeoutMs);
    const Clock::time_point deadline =
        Clock::now() + std::chrono::milliseconds(kNegotiationTimeoutMs);
    while (m_codec.comPort() == TelnetCodec::ComPort::Asked && msLeft(deadline) > 0) {
        m_socket.waitReadable(msLeft(deadline));
        takeArrived();
    }
    m_comPort = m_codec.comPort() == TelnetCodec::ComPort::Accepted;
    if (!m_comPort) {
        if (!m_warned)
            m_warning = QStringLiteral("%1: the server declined the COM-PORT-OPTION").arg(peer);
        m_warned = true;
        return;
    }
    // The server answers each setting with the value it took; a server that refuses one (DTR
    // on a pseudo-terminal) still carries the data, so the answers are not waited for.
    m_socket.send(TelnetCodec::lineCommands(options.line) + TelnetCodec::dtrCommand(options.dtr),
                  kSendTimeoutMs);
}

void NetBytePort::close()
{
    m_socket.close();
    m_input.clear();
}

bool NetBytePort::isOpen() const
{
    return m_socket.isOpen();
}

void NetBytePort::requireOpen() const
{
    if (!m_socket.isOpen())
        throw PortError(QStringLiteral("The port is not open"));
}

// Moves what the connection holds into the input, answering the server's negotiation.
void NetBytePort::takeArrived()
{
    const QByteArray received = m_socket.receive();
    if (received.isEmpty())
        return;
    if (!m_telnet) {
        m_input += received;
        return;
    }
    m_input += m_codec.decode(received);
    m_codec.takeComPortReplies(); // the values the server took; nothing depends on them
    const QByteArray answers = m_codec.takeAnswers();
    if (!answers.isEmpty())
        m_socket.send(answers, kSendTimeoutMs);
}

qint64 NetBytePort::bytesAvailable()
{
    requireOpen();
    takeArrived();
    return m_input.size();
}

void NetBytePort::discardInput()
{
    requireOpen();
    takeArrived();
    m_input.clear();
    // The server's buffer is purged with the next bytes sent, in the same segment: the
    // transfers discard before every block and every acknowledgement they send.
    m_purgePending = m_comPort;
}

QByteArray NetBytePort::readAll()
{
    requireOpen();
    takeArrived();
    return std::exchange(m_input, {});
}

QByteArray NetBytePort::read(qint64 count)
{
    requireOpen();
    takeArrived();
    if (count >= m_input.size())
        return std::exchange(m_input, {});
    const QByteArray part = m_input.left(count);
    m_input.remove(0, count);
    return part;
}

void NetBytePort::write(const QByteArray& bytes)
{
    requireOpen();
    if (!m_telnet) {
        m_socket.send(bytes, kSendTimeoutMs);
        return;
    }
    QByteArray out = m_purgePending ? TelnetCodec::purgeReceivedCommand() : QByteArray();
    m_purgePending = false;
    m_socket.send(out + TelnetCodec::encode(bytes), kSendTimeoutMs);
}

void NetBytePort::waitForMoreInput(int ms)
{
    requireOpen();
    const qsizetype before = m_input.size();
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(ms);
    takeArrived();
    // Telnet commands alone bring no data: the wait goes on until data comes or time is up.
    while (m_input.size() == before && msLeft(deadline) > 0) {
        m_socket.waitReadable(msLeft(deadline));
        takeArrived();
    }
}

QString NetBytePort::takeWarning()
{
    return std::exchange(m_warning, {});
}

} // namespace kel::serial
