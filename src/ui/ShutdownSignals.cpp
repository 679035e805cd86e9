#include "ui/ShutdownSignals.h"

#include <QSocketNotifier>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace kel {

#ifdef Q_OS_UNIX

namespace {

// The handler may only do async-signal-safe work: it writes the signal number into a socket
// that the event loop watches.
int g_signalSocket[2] = {-1, -1};

void onSignal(int signalNumber)
{
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    [[maybe_unused]] const ssize_t written = ::write(g_signalSocket[0], &byte, 1);
}

} // namespace

ShutdownSignals::ShutdownSignals(QObject* parent) : QObject(parent)
{
    if (g_signalSocket[0] < 0 &&
        ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signalSocket) != 0)
        return;
    m_notifier = new QSocketNotifier(g_signalSocket[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &ShutdownSignals::readSignal);

    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int number : {SIGTERM, SIGINT, SIGHUP})
        sigaction(number, &action, nullptr);
}

ShutdownSignals::~ShutdownSignals()
{
    struct sigaction action = {};
    action.sa_handler = SIG_DFL;
    for (int number : {SIGTERM, SIGINT, SIGHUP})
        sigaction(number, &action, nullptr);
}

void ShutdownSignals::readSignal()
{
    unsigned char byte = 0;
    if (::read(g_signalSocket[1], &byte, 1) == 1)
        emit requested(byte);
}

#else

ShutdownSignals::ShutdownSignals(QObject* parent) : QObject(parent) {}
ShutdownSignals::~ShutdownSignals() = default;
void ShutdownSignals::readSignal() {}

#endif

} // namespace kel
