#include "serial/NetBytePort.h"
#include "serial/NetAddress.h"

#include <chrono>
#include <thread>
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
    m_networkFailure.reset();
    const std::optional<NetAddress> address = parseNetDevice(options.device, error);
    if (!address)
        return false;
    NetworkFailure failure;
    if (!m_socket.connectTo(address->host, address->port, kConnectTimeoutMs, &failure)) {
        *error = failure.reason;
        m_networkFailure = failure;
        return false;
    }
    m_input.clear();
    m_unansweredBytes = 0;
    m_characterMs = characterTimeMs(options.line);
    m_codec = TelnetCodec();
    m_telnet = address->protocol == NetProtocol::Rfc2217;
    m_comPort = false;
    m_purgeAnswered = false;
    if (!m_telnet)
        return true;
    try {
        negotiate(options, QStringLiteral("%1:%2").arg(address->host).arg(address->port));
    } catch (const PortError& failure) {
        *error = failure.network() ? failure.network()->reason : failure.description();
        m_networkFailure = failure.network();
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
        // A server that said nothing to the option may be no Telnet server at all.
        if (!m_warned)
            m_warning =
                m_codec.comPort() == TelnetCodec::ComPort::Declined
                    ? QStringLiteral("%1: the server declined the COM-PORT-OPTION").arg(peer)
                    : QStringLiteral("%1: the server did not answer the COM-PORT-OPTION within "
                                     "%2 s")
                          .arg(peer)
                          .arg(kNegotiationTimeoutMs / 1000);
        m_warned = true;
        return;
    }
    // The server answers each setting with the value it took; a server that refuses one (DTR
    // on a pseudo-terminal) still carries the data, so those answers are not looked at. The
    // purge that follows is waited for: the server has then taken the settings too, and
    // nothing it held from before reaches the line's input.
    m_socket.send(TelnetCodec::lineCommands(options.line) + TelnetCodec::dtrCommand(options.dtr),
                  kSendTimeoutMs);
    purgeServer();
}

// Purges what the server holds from the device and waits for its answer (kNegotiationTimeoutMs
// at most), dropping what arrives meanwhile. A purge that is not waited for could still be
// under way at the server when the next bytes sent reach the device; a server that carries it
// out on its output too would then lose them (an XMODEM acknowledgement, say).
void NetBytePort::purgeServer()
{
    m_purgeAnswered = false;
    m_socket.send(TelnetCodec::purgeReceivedCommand(), kSendTimeoutMs);
    const Clock::time_point deadline =
        Clock::now() + std::chrono::milliseconds(kNegotiationTimeoutMs);
    while (!m_purgeAnswered && msLeft(deadline) > 0) {
        m_socket.waitReadable(msLeft(deadline));
        takeArrived();
    }
    m_input.clear();
}

void NetBytePort::close()
{
    // A server lets go of the device when the connection ends and may throw away what it has
    // not passed on by then: an XMODEM receive ends with an acknowledgement that nothing
    // answers, and the sensor, never getting it, would hang in its transfer. So bytes that got
    // no answer are given time to reach the device before the connection ends.
    if (m_socket.isOpen() && m_unansweredBytes > 0)
        std::this_thread::sleep_until(
            m_lastWrite + std::chrono::milliseconds(kSettleMs) +
            std::chrono::microseconds(qint64(m_unansweredBytes * m_characterMs * 1000)));
    m_unansweredBytes = 0;
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

// Moves what the connection holds into the input (one bounded piece), answering the server's
// negotiation.
void NetBytePort::takeArrived()
{
    const QByteArray received = m_socket.receive();
    if (received.isEmpty())
        return;
    const QByteArray data = m_telnet ? m_codec.decode(received) : received;
    if (!data.isEmpty())
        m_unansweredBytes = 0;
    m_input += data;
    m_arrived += data.size();
    keepWithinInputLimit(m_input);
    if (!m_telnet)
        return;
    for (const ComPortReply& reply : m_codec.takeComPortReplies())
        if (reply.command == telnet::kPurgeData + telnet::kServerReplyOffset)
            m_purgeAnswered = true;
    const QByteArray answers = m_codec.takeAnswers();
    if (!answers.isEmpty())
        m_socket.send(answers, kSendTimeoutMs);
}

// A failure of the connection is kept for takeNetworkFailure before it goes on to the caller.
template <typename Call> auto NetBytePort::recorded(Call call)
{
    try {
        return call();
    } catch (const PortError& failure) {
        m_networkFailure = failure.network();
        throw;
    }
}

qint64 NetBytePort::bytesAvailable()
{
    return recorded([&] {
        requireOpen();
        takeArrived();
        return m_input.size();
    });
}

void NetBytePort::discardInput()
{
    recorded([&] {
        requireOpen();
        takeArrived();
        const bool noise = !m_input.isEmpty();
        m_input.clear();
        // The transfers discard before every block and acknowledgement they send; the server is
        // purged too only when something was there to throw away, so that a clean transfer keeps
        // its pace.
        if (m_comPort && noise)
            purgeServer();
    });
}

QByteArray NetBytePort::readAll()
{
    return recorded([&] {
        requireOpen();
        takeArrived();
        return std::exchange(m_input, {});
    });
}

QByteArray NetBytePort::read(qint64 count)
{
    return recorded([&] {
        requireOpen();
        takeArrived();
        if (count >= m_input.size())
            return std::exchange(m_input, {});
        const QByteArray part = m_input.left(count);
        m_input.remove(0, count);
        return part;
    });
}

void NetBytePort::write(const QByteArray& bytes)
{
    recorded([&] {
        requireOpen();
        m_socket.send(m_telnet ? TelnetCodec::encode(bytes) : bytes, kSendTimeoutMs);
        m_lastWrite = Clock::now();
        m_unansweredBytes += bytes.size();
    });
}

void NetBytePort::waitForMoreInput(int ms)
{
    recorded([&] {
        requireOpen();
        const qint64 before = m_arrived;
        const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(ms);
        takeArrived();
        // Telnet commands alone bring no data: the wait goes on until data comes or time is up.
        while (m_arrived == before && msLeft(deadline) > 0) {
            m_socket.waitReadable(msLeft(deadline));
            takeArrived();
        }
    });
}

QString NetBytePort::takeWarning()
{
    return std::exchange(m_warning, {});
}

std::optional<NetworkFailure> NetBytePort::takeNetworkFailure()
{
    return std::exchange(m_networkFailure, std::nullopt);
}

} // namespace kel::serial
