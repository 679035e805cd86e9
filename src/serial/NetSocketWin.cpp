// Winsock's headers come before anything that may include windows.h.
#include <winsock2.h>
#include <ws2tcpip.h>

#include "serial/BytePort.h"
#include "serial/NetSocket.h"

#include <windows.h>

#include <chrono>
#include <mutex>

#ifndef SIO_TCP_SET_ACK_FREQUENCY
#define SIO_TCP_SET_ACK_FREQUENCY _WSAIOW(IOC_VENDOR, 23)
#endif

namespace kel::serial {

namespace {

using Clock = std::chrono::steady_clock;

QString systemText(int code)
{
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, DWORD(code), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    QString message = length ? QString::fromWCharArray(text, length).trimmed()
                             : QStringLiteral("Windows socket error %1").arg(code);
    LocalFree(text);
    return message;
}

// Winsock is started once for the process and left running until it ends.
bool startWinsock(QString* error)
{
    static std::once_flag once;
    static int result = 0;
    std::call_once(once, [] {
        WSADATA data;
        result = WSAStartup(MAKEWORD(2, 2), &data);
    });
    if (result != 0)
        *error = systemText(result);
    return result == 0;
}

long msLeft(Clock::time_point deadline)
{
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? long(left) : 0;
}

timeval timeFor(long ms)
{
    timeval time;
    time.tv_sec = ms / 1000;
    time.tv_usec = (ms % 1000) * 1000;
    return time;
}

// A failure of an open connection: the server's end, or the system's reason.
NetworkCause causeOf(int code)
{
    return code == WSAECONNRESET || code == WSAECONNABORTED || code == WSAESHUTDOWN
               ? NetworkCause::Closed
               : NetworkCause::Other;
}

NetworkCause causeOfResolving(int code)
{
    return code == WSAHOST_NOT_FOUND || code == WSATRY_AGAIN || code == WSANO_RECOVERY ||
                   code == WSANO_DATA
               ? NetworkCause::UnknownHost
               : NetworkCause::Other;
}

// Waits until s can be written (or, with forRead, read) or ms pass: 1 ready, 0 time out, -1
// failure (also a connect that failed, which select reports as an exception).
int waitFor(SOCKET s, bool forRead, long ms)
{
    fd_set ready;
    fd_set failed;
    FD_ZERO(&ready);
    FD_ZERO(&failed);
    FD_SET(s, &ready);
    FD_SET(s, &failed);
    timeval time = timeFor(ms);
    const int result =
        select(0, forRead ? &ready : nullptr, forRead ? nullptr : &ready, &failed, &time);
    if (result > 0 && FD_ISSET(s, &failed) && !forRead)
        return -1;
    return result > 0 ? 1 : result;
}

// Connects s to address, waiting until deadline; 0 or the Winsock error of the failure.
int connectWithin(SOCKET s, const addrinfo& address, Clock::time_point deadline)
{
    if (connect(s, address.ai_addr, int(address.ai_addrlen)) == 0)
        return 0;
    const int error = WSAGetLastError();
    if (error != WSAEWOULDBLOCK)
        return error;
    const int ready = waitFor(s, false, msLeft(deadline));
    if (ready == 0)
        return WSAETIMEDOUT;
    int result = 0;
    int length = sizeof(result);
    if (getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&result), &length) != 0)
        return WSAGetLastError();
    return ready < 0 && result == 0 ? WSAECONNREFUSED : result;
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
    if (!startWinsock(&failed->reason))
        return false;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    addrinfo* addresses = nullptr;
    const QByteArray service = QByteArray::number(port);
    const int resolved =
        getaddrinfo(host.toUtf8().constData(), service.constData(), &hints, &addresses);
    if (resolved != 0) {
        failed->cause = causeOfResolving(resolved);
        failed->reason = systemText(resolved);
        return false;
    }
    int failure = WSAETIMEDOUT;
    for (const addrinfo* address = addresses; address && msLeft(deadline) > 0;
         address = address->ai_next) {
        const SOCKET s = socket(address->ai_family, address->ai_socktype, address->ai_protocol);
        if (s == INVALID_SOCKET) {
            failure = WSAGetLastError();
            continue;
        }
        u_long nonBlocking = 1;
        ioctlsocket(s, FIONBIO, &nonBlocking);
        failure = connectWithin(s, *address, deadline);
        if (failure == 0) {
            m_socket = qintptr(s);
            break;
        }
        closesocket(s);
    }
    freeaddrinfo(addresses);
    if (m_socket == -1) {
        failed->cause = failure == WSAETIMEDOUT      ? NetworkCause::NoAnswer
                        : failure == WSAECONNREFUSED ? NetworkCause::Refused
                                                     : NetworkCause::Other;
        failed->reason = failure == WSAETIMEDOUT
                             ? QStringLiteral("no answer within %1 s").arg(timeoutMs / 1000.0)
                             : systemText(failure);
        return false;
    }
    m_tuned = qEnvironmentVariableIntValue("KEL_TCP_DEFAULTS") != 1;
    if (m_tuned) {
        const BOOL on = TRUE;
        setsockopt(SOCKET(m_socket), IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on),
                   sizeof(on));
        // Acknowledge every segment; systems and emulators without it keep their default.
        DWORD frequency = 1;
        DWORD returned = 0;
        WSAIoctl(SOCKET(m_socket), SIO_TCP_SET_ACK_FREQUENCY, &frequency, sizeof(frequency),
                 nullptr, 0, &returned, nullptr, nullptr);
    }
    return true;
}

void NetSocket::close()
{
    if (m_socket == -1)
        return;
    // As on POSIX: end output, read away what still comes until the server closes too (for a
    // moment at most), so that the close does not reset the connection; a server that never
    // stops sending is let go at the deadline.
    const SOCKET s = SOCKET(m_socket);
    if (shutdown(s, SD_SEND) == 0) {
        const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(kLingerMs);
        char chunk[4096];
        while (msLeft(deadline) > 0 && waitFor(s, true, msLeft(deadline)) > 0 &&
               recv(s, chunk, int(sizeof(chunk)), 0) > 0) {
        }
    }
    closesocket(s);
    m_socket = -1;
}

bool NetSocket::isOpen() const
{
    return m_socket != -1;
}

void NetSocket::fail(NetworkCause cause, const QString& reason) const
{
    throw PortError(NetworkFailure{cause, m_peer, reason, true});
}

void NetSocket::acknowledgePromptly()
{
    // The acknowledgement frequency set at the connect holds for the whole connection.
}

void NetSocket::waitReadable(int ms)
{
    if (m_socket == -1)
        throw PortError(QStringLiteral("The port is not open"));
    if (waitFor(SOCKET(m_socket), true, ms) < 0) {
        const int error = WSAGetLastError();
        fail(causeOf(error), systemText(error));
    }
}

QByteArray NetSocket::receive()
{
    if (m_socket == -1)
        throw PortError(QStringLiteral("The port is not open"));
    char chunk[kReceiveChunk];
    const int count = recv(SOCKET(m_socket), chunk, int(sizeof(chunk)), 0);
    if (count > 0)
        return QByteArray(chunk, count);
    if (count == 0)
        fail(NetworkCause::Closed, QStringLiteral("the server closed the connection"));
    const int error = WSAGetLastError();
    if (error == WSAEWOULDBLOCK)
        return {};
    fail(causeOf(error), systemText(error));
}

void NetSocket::send(const QByteArray& bytes, int timeoutMs)
{
    if (m_socket == -1)
        throw PortError(QStringLiteral("The port is not open"));
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    qsizetype sent = 0;
    while (sent < bytes.size()) {
        const int count =
            ::send(SOCKET(m_socket), bytes.constData() + sent, int(bytes.size() - sent), 0);
        if (count >= 0) {
            sent += count;
            continue;
        }
        const int error = WSAGetLastError();
        if (error != WSAEWOULDBLOCK)
            fail(causeOf(error), systemText(error));
        if (msLeft(deadline) == 0 || waitFor(SOCKET(m_socket), false, msLeft(deadline)) == 0)
            fail(NetworkCause::Other, QStringLiteral("the server takes no data"));
    }
}

} // namespace kel::serial
