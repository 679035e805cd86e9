#include "support/PtyPair.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace kel::test {

PtyPair::PtyPair()
{
    const QString link = QStringLiteral("pty,raw,echo=0,link=");
    m_socat.setProgram(QStringLiteral("socat"));
    m_socat.setArguments({link + first(), link + second()});
    m_socat.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_socat.start();
    if (!m_socat.waitForStarted(5000)) {
        m_error =
            QStringLiteral("socat (Debian package socat) did not start: ") + m_socat.errorString();
        return;
    }
    const QDeadlineTimer deadline(5000);
    while (!deadline.hasExpired()) {
        if (QFileInfo::exists(first()) && QFileInfo::exists(second())) {
            m_ready = true;
            return;
        }
        QThread::msleep(10);
    }
    m_error = QStringLiteral("socat did not create the pseudo-terminals");
}

PtyPair::~PtyPair()
{
    if (m_socat.state() != QProcess::NotRunning) {
        m_socat.terminate();
        if (!m_socat.waitForFinished(2000)) {
            m_socat.kill();
            m_socat.waitForFinished(2000);
        }
    }
}

RawTerminal::RawTerminal(const QString& path)
    : m_fd(::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY))
{
    termios mode{};
    if (m_fd >= 0 && tcgetattr(m_fd, &mode) == 0) {
        cfmakeraw(&mode);
        tcsetattr(m_fd, TCSANOW, &mode);
    }
}

RawTerminal::~RawTerminal()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

QByteArray RawTerminal::readUntil(char end, int timeoutMs)
{
    return readWhile([end](const QByteArray& bytes) { return !bytes.endsWith(end); }, timeoutMs);
}

QByteArray RawTerminal::readBytes(qsizetype count, int timeoutMs)
{
    return readWhile([count](const QByteArray& bytes) { return bytes.size() < count; }, timeoutMs);
}

QByteArray RawTerminal::readWhile(const std::function<bool(const QByteArray&)>& wantMore,
                                  int timeoutMs)
{
    QByteArray bytes;
    const QDeadlineTimer deadline(timeoutMs);
    while (wantMore(bytes) && !deadline.hasExpired()) {
        pollfd ready{m_fd, POLLIN, 0};
        if (::poll(&ready, 1, static_cast<int>(deadline.remainingTime())) <= 0)
            break;
        char c = 0;
        if (::read(m_fd, &c, 1) != 1)
            break;
        bytes += c;
    }
    return bytes;
}

void RawTerminal::write(const QByteArray& bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(m_fd, bytes.constData() + done, bytes.size() - done);
        if (written <= 0)
            return;
        done += written;
    }
}

int runProcess(QProcess& process, int timeoutMs)
{
    if (process.state() == QProcess::NotRunning)
        process.start();
    if (!process.waitForStarted(5000))
        return -1;
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished(2000);
        return -1;
    }
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

void PtyPair::writeFile(const char* name, const QByteArray& data) const
{
    QFile out(file(name));
    ASSERT_TRUE(out.open(QIODevice::WriteOnly)) << name;
    out.write(data);
}

QByteArray PtyPair::readFile(const char* name) const
{
    QFile in(file(name));
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray("(missing)");
}

} // namespace kel::test
