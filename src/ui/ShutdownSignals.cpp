#include "ui/ShutdownSignals.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QSocketNotifier>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>
#endif

#ifdef Q_OS_WIN
#include <csignal>
#include <functional>
#include <windows.h>
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

#elif defined(Q_OS_WIN)

namespace {

// WM_ENDSESSION comes once per top-level window, after every program agreed to the end of the
// session; the process is ended when the handling returns.
class SessionEndFilter : public QAbstractNativeEventFilter {
public:
    explicit SessionEndFilter(std::function<void()> onEnd) : m_onEnd(std::move(onEnd)) {}

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override
    {
        if (eventType != "windows_generic_MSG" || m_ended)
            return false;
        const MSG* msg = static_cast<const MSG*>(message);
        if (msg->message == WM_ENDSESSION && msg->wParam) {
            m_ended = true;
            m_onEnd();
        }
        return false; // Qt's own handling goes on
    }

private:
    std::function<void()> m_onEnd;
    bool m_ended = false;
};

} // namespace

ShutdownSignals::ShutdownSignals(QObject* parent) : QObject(parent)
{
    m_sessionEnd = std::make_unique<SessionEndFilter>([this] { emit requested(SIGTERM); });
    if (QCoreApplication* app = QCoreApplication::instance())
        app->installNativeEventFilter(m_sessionEnd.get());
}

ShutdownSignals::~ShutdownSignals()
{
    if (QCoreApplication* app = QCoreApplication::instance())
        app->removeNativeEventFilter(m_sessionEnd.get());
}

void ShutdownSignals::readSignal() {}

#else

ShutdownSignals::ShutdownSignals(QObject* parent) : QObject(parent) {}
ShutdownSignals::~ShutdownSignals() = default;
void ShutdownSignals::readSignal() {}

#endif

} // namespace kel
