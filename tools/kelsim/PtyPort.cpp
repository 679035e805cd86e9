#include "PtyPort.h"

#include <QThread>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace kel::sim {

namespace {

// A line nobody listens to does not hold its sender up: after this long without room in the
// pseudo-terminal the bytes are let go, as they would be on a real wire.
constexpr int kStalledWriteMs = 200;
constexpr std::chrono::microseconds kPacedBatch{2000};

QString systemError(const char* what)
{
    return QStringLiteral("%1: %2").arg(QLatin1String(what),
                                        QString::fromLocal8Bit(std::strerror(errno)));
}

} // namespace

PtyPort::~PtyPort()
{
    close();
}

bool PtyPort::create(QString* error)
{
    auto fail = [&](const char* what) {
        if (error)
            *error = systemError(what);
        close();
        return false;
    };
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master < 0)
        return fail("posix_openpt");
    if (::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0)
        return fail("grantpt/unlockpt");
    const char* name = ::ptsname(m_master);
    if (!name)
        return fail("ptsname");
    m_devicePath = QString::fromLocal8Bit(name);
    m_slave = ::open(name, O_RDWR | O_NOCTTY);
    if (m_slave < 0)
        return fail("open slave");
    termios mode{};
    if (::tcgetattr(m_slave, &mode) != 0)
        return fail("tcgetattr");
    ::cfmakeraw(&mode);
    ::cfsetispeed(&mode, B38400);
    ::cfsetospeed(&mode, B38400);
    if (::tcsetattr(m_slave, TCSANOW, &mode) != 0)
        return fail("tcsetattr");
    const int flags = ::fcntl(m_master, F_GETFL);
    if (flags < 0 || ::fcntl(m_master, F_SETFL, flags | O_NONBLOCK) != 0)
        return fail("fcntl");
    return true;
}

void PtyPort::setBaud(qint32 baud)
{
    m_paced = baud > 0;
    if (m_paced)
        m_characterTime =
            std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(10.0 / baud));
}

void PtyPort::releaseExclusiveLock()
{
    if (m_slave >= 0)
        ::ioctl(m_slave, TIOCNXCL);
}

bool PtyPort::open(const serial::PortOptions&, QString* error)
{
    if (!isOpen() && error)
        *error = QStringLiteral("The pseudo-terminal was not created");
    return isOpen();
}

void PtyPort::close()
{
    if (m_slave >= 0)
        ::close(m_slave);
    if (m_master >= 0)
        ::close(m_master);
    m_slave = m_master = -1;
    m_ready.clear();
    m_inFlight.clear();
}

void PtyPort::requireOpen() const
{
    if (!isOpen())
        throw serial::PortError(QStringLiteral("The pseudo-terminal is closed"));
}

void PtyPort::pump()
{
    requireOpen();
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(m_master, buffer, sizeof buffer);
        if (got > 0) {
            const Clock::time_point now = Clock::now();
            for (ssize_t i = 0; i < got; ++i) {
                if (!m_paced) {
                    m_ready.append(buffer[i]);
                    continue;
                }
                // The first byte after a pause counts as arrived when it is seen: the time
                // the pseudo-terminal took to hand it over stands in for its character time.
                m_inputFreeAt = std::max(m_inputFreeAt + m_characterTime, now);
                m_inFlight.add(m_inputFreeAt, buffer[i]);
            }
            continue;
        }
        if (got < 0 && errno == EINTR)
            continue;
        // EAGAIN: nothing more for now. EIO would mean no slave is open, which cannot happen
        // while the port holds one.
        break;
    }
    m_inFlight.releaseInto(m_ready, Clock::now());
}

qint64 PtyPort::bytesAvailable()
{
    pump();
    return m_ready.size();
}

void PtyPort::discardInput()
{
    pump();
    m_ready.clear();
}

QByteArray PtyPort::readAll()
{
    pump();
    return m_ready.takeAll();
}

QByteArray PtyPort::read(qint64 count)
{
    pump();
    return m_ready.take(count);
}

void PtyPort::write(const QByteArray& bytes)
{
    requireOpen();
    if (!m_paced) {
        writeNow(bytes.constData(), bytes.size());
        return;
    }
    // Byte i is handed over when the line has carried it: one character time after the
    // previous byte, or after the call when the line was idle.
    const Clock::time_point start = Clock::now();
    qsizetype done = 0;
    while (done < bytes.size()) {
        if (m_abandon && m_abandon->load())
            return;
        const Clock::time_point now = Clock::now();
        const auto due = static_cast<qsizetype>((now - start) / m_characterTime);
        const qsizetype count = std::min(due, bytes.size()) - done;
        if (count > 0) {
            writeNow(bytes.constData() + done, count);
            done += count;
            continue;
        }
        // Bytes go out a few at a time, as from a UART's buffer, which spares both ends a
        // wake-up per byte; the schedule keeps the rate exact and the last byte on time.
        const Clock::time_point next = start + m_characterTime * (done + 1);
        const Clock::time_point last = start + m_characterTime * bytes.size();
        const Clock::time_point wake = std::min(std::max(next, now + kPacedBatch), last);
        QThread::usleep(static_cast<unsigned long>(
            std::chrono::duration_cast<std::chrono::microseconds>(wake - now).count()));
    }
}

void PtyPort::writeNow(const char* data, qsizetype size)
{
    qsizetype done = 0;
    while (done < size) {
        const ssize_t written = ::write(m_master, data + done, static_cast<size_t>(size - done));
        if (written > 0) {
            done += written;
            continue;
        }
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0 && errno != EAGAIN)
            throw serial::PortError(systemError("write"));
        pollfd room{m_master, POLLOUT, 0};
        if (::poll(&room, 1, kStalledWriteMs) <= 0)
            return; // nobody reads the device: the rest is lost on the line
    }
}

void PtyPort::waitForMoreInput(int ms)
{
    pump();
    if (const std::optional<Clock::time_point> next = m_inFlight.nextArrival()) {
        const auto untilNext =
            std::chrono::duration_cast<std::chrono::microseconds>(*next - Clock::now());
        const auto limit = std::chrono::microseconds(std::int64_t(ms) * 1000);
        const auto sleep = std::clamp(untilNext, std::chrono::microseconds(0), limit);
        QThread::usleep(static_cast<unsigned long>(sleep.count()));
        pump();
        return;
    }
    pollfd input{m_master, POLLIN, 0};
    ::poll(&input, 1, ms);
    pump();
}

} // namespace kel::sim
