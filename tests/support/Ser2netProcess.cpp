#include "support/Ser2netProcess.h"
#include "support/KelsimFixture.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <arpa/inet.h>
#include <csignal>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace kel::test {

namespace {

constexpr int kStartTimeoutMs = 10000;
const QString kSer2net = QStringLiteral("/usr/sbin/ser2net");

} // namespace

quint16 freeLocalPort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
        return 0;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof(address);
    quint16 port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    ::close(fd);
    return port;
}

// Read from the kernel's table rather than by connecting, which the server would count as a
// client.
bool listensOn(quint16 port)
{
    QFile table(QStringLiteral("/proc/net/tcp"));
    if (!table.open(QIODevice::ReadOnly))
        return false;
    const QByteArray local = ':' + QByteArray::number(port, 16).toUpper().rightJustified(4, '0');
    for (const QByteArray& line : table.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() > 3 && fields[1].endsWith(local) && fields[3] == "0A")
            return true;
    }
    return false;
}

QString Ser2netProcess::modeName(Mode mode)
{
    return mode == Mode::RawTcp ? QStringLiteral("tcp") : QStringLiteral("rfc2217");
}

Ser2netProcess::Ser2netProcess(const QString& device, Mode mode, bool charDelay)
    : m_mode(mode), m_device(device)
{
    m_port = freeLocalPort();
    if (!m_dir.isValid() || m_port == 0) {
        m_error = QStringLiteral("no temporary folder or free port");
        return;
    }
    // The accepter's and connector's defaults are kept: only what to listen on and what to
    // open is given, and the character delay when it is turned off.
    const QString accepter = mode == Mode::Rfc2217      ? QStringLiteral("telnet(rfc2217),tcp")
                             : mode == Mode::TelnetOnly ? QStringLiteral("telnet,tcp")
                                                        : QStringLiteral("tcp");
    const QString config = m_dir.filePath(QStringLiteral("ser2net.yaml"));
    QFile out(config);
    if (!out.open(QIODevice::WriteOnly) ||
        out.write(
            QStringLiteral("connection: &sensor\n"
                           "  accepter: %1,127.0.0.1,%2\n"
                           "  connector: serialdev,%3,local\n%4")
                .arg(accepter)
                .arg(m_port)
                .arg(device)
                .arg(charDelay ? QString() : QStringLiteral("  options:\n    chardelay: false\n"))
                .toLocal8Bit()) < 0) {
        m_error = QStringLiteral("cannot write ") + config;
        return;
    }
    out.close();
    m_process.setProgram(kSer2net);
    // No detaching, no UUCP lock files, a pid file of its own.
    m_process.setArguments({QStringLiteral("-n"), QStringLiteral("-u"), QStringLiteral("-c"),
                            config, QStringLiteral("-P"),
                            m_dir.filePath(QStringLiteral("ser2net.pid"))});
    m_process.setStandardOutputFile(m_dir.filePath(QStringLiteral("ser2net.log")));
    m_process.setStandardErrorFile(m_dir.filePath(QStringLiteral("ser2net.log")));
    endWithThisProcess(m_process);
    m_process.start();
    if (!m_process.waitForStarted(kStartTimeoutMs)) {
        m_error = kSer2net + QStringLiteral(" did not start (install Debian's ser2net): ") +
                  m_process.errorString();
        return;
    }
    const QDeadlineTimer deadline(kStartTimeoutMs);
    while (!listensOn(m_port) && !deadline.hasExpired() && m_process.state() == QProcess::Running)
        QThread::msleep(10);
    m_ready = listensOn(m_port);
    if (!m_ready)
        m_error = QStringLiteral("ser2net does not listen on port %1").arg(m_port);
}

Ser2netProcess::~Ser2netProcess()
{
    stop();
}

bool Ser2netProcess::waitUntilDeviceReleased() const
{
    const QString device = QFileInfo(m_device).canonicalFilePath();
    const QString fds = QStringLiteral("/proc/%1/fd").arg(m_process.processId());
    const auto holds = [&] {
        const QStringList links = QDir(fds).entryList(QDir::Files | QDir::System);
        for (const QString& link : links)
            if (QFileInfo(fds + QLatin1Char('/') + link).canonicalFilePath() == device)
                return true;
        return false;
    };
    const QDeadlineTimer deadline(kStartTimeoutMs);
    while (holds() && !deadline.hasExpired())
        QThread::msleep(10);
    return !holds();
}

QString Ser2netProcess::deviceText() const
{
    return QStringLiteral("%1://127.0.0.1:%2").arg(modeName(m_mode)).arg(m_port);
}

void Ser2netProcess::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    ::kill(static_cast<pid_t>(m_process.processId()), SIGTERM);
    if (!m_process.waitForFinished(5000)) {
        m_process.kill();
        m_process.waitForFinished(2000);
    }
}

} // namespace kel::test
