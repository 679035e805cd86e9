#include "serial/BytePort.h"
#include "serial/NetSocket.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <system_error>
#include <unistd.h>

namespace kel::serial {

namespace {

using Clock = std::chrono::steady_clock;

#ifdef MSG_NOSIGNAL
constexpr int kSendFlags = MSG_NOSIGNAL; // a closed connection fails the send, not the program
#else
constexpr int kSendFlags = 0;
#endif

QString systemText(int code)
{
    return QString::fromStdString(std::system_category().message(code));
}

int msLeft(Clock::time_point deadline)
{
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// A failure of an open connection: the server's end, or the system's reason.
NetworkCause causeOfErrno(int code)
{
    return code == ECONNRESET || code == EPIPE || code == ECONNABORTED ? NetworkCause::Closed
                                                                       : NetworkCause::Other;
}

NetworkCause causeOfResolving(int code)
{
    switch (code) {
    case EAI_NONAME:
    case EAI_AGAIN:
    case EAI_FAIL:
#if defined(EAI_NODATA) && EAI_NODATA != EAI_NONAME
    case EAI_NODATA:
#endif
        return NetworkCause::UnknownHost;
    default:
        return NetworkCause::Other;
    }
}

bool tcpDefaultsWanted()
{
    return qEnvironmentVariableIntValue("KEL_TCP_DEFAULTS") == 1;
}

// Connects fd to address, waiting until deadline; 0 or the errno of the failure.
int connectWithin(int fd, const addrinfo& address, Clock::time_point deadline)
{
    if (::connect(fd, address.ai_addr, address.ai_addrlen) == 0)
        return 0;
    if (errno != EINPROGRESS)
        return errno;
    pollfd wait{fd, POLLOUT, 0};
    int ready = 0;
    do {
        ready = ::poll(&wait, 1, msLeft(deadline));
    } while (ready < 0 && errno == EINTR);
    if (ready == 0)
        return ETIMEDOUT;
    if (ready < 0)
        return errno;
    int result = 0;
    socklen_t length = sizeof(result);
    if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &result, &length) != 0)
        return errno;
    return result;
}

} // namespace

NetSocket::~NetSocket()
{
    close();
}

bool NetSocket::connectTo(const QString& host, quint16 port, int timeoutMs, NetworkFailure* failed)
{
    close();
    m_peer = QStringLiteral("%1:%2").arg(host).arg(port);
    *failed = {NetworkCause::Other, m_peer, {}, false};
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* addresses = nullptr;
    const QByteArray service = QByteArray::number(port);
    const int resolved =
        ::getaddrinfo(host.toUtf8().constData(), service.constData(), &hints, &addresses);
    if (resolved != 0) {
        failed->cause = causeOfResolving(resolved);
        failed->reason = resolved == EAI_SYSTEM ? systemText(errno)
                                                : QString::fromLocal8Bit(::gai_strerror(resolved));
        return false;
    }
    int failure = ETIMEDOUT;
    for (const addrinfo* address = addresses; address && msLeft(deadline) > 0;
         address = address->ai_next) {
        const int fd =
            ::socket(address->ai_family, address->ai_socktype | SOCK_CLOEXEC, address->ai_protocol);
        if (fd < 0) {
            failure = errno;
            continue;
        }
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
        failure = connectWithin(fd, *address, deadline);
        if (failure == 0) {
            m_socket = fd;
            break;
        }
        ::close(fd);
    }
    ::freeaddrinfo(addresses);
    if (m_socket < 0) {
        failed->cause = failure == ETIMEDOUT      ? NetworkCause::NoAnswer
                        : failure == ECONNREFUSED ? NetworkCause::Refused
                                                  : NetworkCause::Other;
        failed->reason = failure == ETIMEDOUT
                             ? QStringLiteral("no answer within %1 s").arg(timeoutMs / 1000.0)
                             : systemText(failure);
        return false;
    }
    m_tuned = !tcpDefaultsWanted();
    if (m_tuned) {
        const int on = 1;
        ::setsockopt(int(m_socket), IPPROTO_TCP, TCP_NODELAY, &on, sizeof(on));
        acknowledgePromptly();
    }
    return true;
}

void NetSocket::close()
{
    if (m_socket < 0)
        return;
    // Closing with unread bytes (a server's late notification) would reset the connection, and
    // the server might drop the last bytes sent (the final acknowledgement of a transfer)
    // before handing them to the device. So the end of output is signalled first and what
    // still comes is read away until the server closes too, for a moment at most: a server
    // that never stops sending is let go at the deadline.
    const int fd = int(m_socket);
    if (::shutdown(fd, SHUT_WR) == 0) {
        const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(kLingerMs);
        char chunk[4096];
        pollfd wait{fd, POLLIN, 0};
        while (msLeft(deadline) > 0 && ::poll(&wait, 1, msLeft(deadline)) > 0 &&
               ::recv(fd, chunk, sizeof(chunk), 0) > 0) {
        }
    }
    ::close(fd);
    m_socket = -1;
}

bool NetSocket::isOpen() const
{
    return m_socket >= 0;
}

void NetSocket::fail(NetworkCause cause, const QString& reason) const
{
    throw PortError(NetworkFailure{cause, m_peer, reason, true});
}

void NetSocket::acknowledgePromptly()
{
#ifdef TCP_QUICKACK
    if (m_tuned) {
        const int on = 1;
        ::setsockopt(int(m_socket), IPPROTO_TCP, TCP_QUICKACK, &on, sizeof(on));
    }
#endif
}

void NetSocket::waitReadable(int ms)
{
    if (m_socket < 0)
        throw PortError(QStringLiteral("The port is not open"));
    pollfd wait{int(m_socket), POLLIN, 0};
    if (::poll(&wait, 1, ms) < 0 && errno != EINTR)
        fail(NetworkCause::Other, systemText(errno));
}

QByteArray NetSocket::receive()
{
    if (m_socket < 0)
        throw PortError(QStringLiteral("The port is not open"));
    char chunk[kReceiveChunk];
    for (;;) {
        const ssize_t count = ::recv(int(m_socket), chunk, sizeof(chunk), 0);
        if (count > 0) {
            acknowledgePromptly();
            return QByteArray(chunk, count);
        }
        if (count == 0)
            fail(NetworkCause::Closed, QStringLiteral("the server closed the connection"));
        if (errno == EINTR)
            continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK)
            return {};
        fail(causeOfErrno(errno), systemText(errno));
    }
}

void NetSocket::send(const QByteArray& bytes, int timeoutMs)
{
    if (m_socket < 0)
        throw PortError(QStringLiteral("The port is not open"));
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    qsizetype sent = 0;
    while (sent < bytes.size()) {
        const ssize_t count = ::send(int(m_socket), bytes.constData() + sent,
                                     size_t(bytes.size() - sent), kSendFlags);
        if (count >= 0) {
            sent += count;
            continue;
        }
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK)
            fail(causeOfErrno(errno), systemText(errno));
        pollfd wait{int(m_socket), POLLOUT, 0};
        if (msLeft(deadline) == 0 || ::poll(&wait, 1, msLeft(deadline)) == 0)
            fail(NetworkCause::Other, QStringLiteral("the server takes no data"));
    }
}

} // namespace kel::serial
