#include "support/LoopbackServer.h"

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace kel::test {

namespace {

// How often a thread that waits looks at the stop flag.
constexpr int kPollMs = 50;

} // namespace

LoopbackServer::LoopbackServer(Behaviour behaviour) : m_behaviour(behaviour)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof(address);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
        ::listen(fd, 8) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        ::close(fd);
        return;
    }
    m_port = ntohs(address.sin_port);
    m_listener = fd;
    m_acceptor = std::thread([this] { accept(); });
}

LoopbackServer::~LoopbackServer()
{
    m_stop = true;
    if (m_acceptor.joinable())
        m_acceptor.join();
    for (std::thread& served : m_served)
        served.join();
    if (m_listener >= 0)
        ::close(m_listener);
}

QString LoopbackServer::deviceText(const QString& scheme) const
{
    return QStringLiteral("%1://127.0.0.1:%2").arg(scheme).arg(m_port);
}

void LoopbackServer::accept()
{
    while (!m_stop) {
        pollfd wait{m_listener, POLLIN, 0};
        if (::poll(&wait, 1, kPollMs) <= 0)
            continue;
        const int fd = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0)
            continue;
        ++m_connections;
        if (m_behaviour == Behaviour::CloseAtOnce) {
            ::close(fd);
            continue;
        }
        const std::lock_guard lock(m_mutex);
        m_served.emplace_back([this, fd] { serve(fd); });
    }
}

void LoopbackServer::serve(int fd)
{
    if (m_behaviour == Behaviour::Flood) {
        // Bytes of every value but the delimiters, so that no reply line ever ends.
        char chunk[65536];
        for (size_t i = 0; i < sizeof(chunk); ++i)
            chunk[i] = char(i % 251 == '\r' || i % 251 == '\n' ? 'x' : i % 251);
        while (!m_stop) {
            pollfd wait{fd, POLLOUT, 0};
            if (::poll(&wait, 1, kPollMs) <= 0)
                continue;
            if (::send(fd, chunk, sizeof(chunk), MSG_NOSIGNAL) < 0 && errno != EINTR &&
                errno != EAGAIN)
                break; // the client has gone
        }
    } else {
        char chunk[4096];
        while (!m_stop) {
            pollfd wait{fd, POLLIN, 0};
            if (::poll(&wait, 1, kPollMs) <= 0)
                continue;
            if (::recv(fd, chunk, sizeof(chunk), 0) <= 0)
                break;
        }
    }
    ::close(fd);
}

} // namespace kel::test
