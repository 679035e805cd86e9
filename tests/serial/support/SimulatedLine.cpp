#include "support/SimulatedLine.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace kel::test {

using serial::PortError;

// ---- SimPort: every operation holds the line's lock.

bool SimPort::open(const serial::PortOptions& options, QString* error)
{
    std::lock_guard lock(m_line.m_mutex);
    if (m_open) {
        *error = QStringLiteral("already open");
        return false;
    }
    if (!openFailure.isEmpty()) {
        *error = openFailure;
        return false;
    }
    m_open = true;
    opens.append(options);
    return true;
}

void SimPort::close()
{
    std::lock_guard lock(m_line.m_mutex);
    m_open = false;
}

bool SimPort::isOpen() const
{
    return m_open;
}

void SimPort::requireOpen() const
{
    if (!m_open)
        throw PortError(QStringLiteral("The port is not open"));
}

void SimPort::requireReadable() const
{
    requireOpen();
    if (!readFailure.isEmpty())
        throw PortError(readFailure);
}

qint64 SimPort::bytesAvailable()
{
    std::lock_guard lock(m_line.m_mutex);
    requireReadable();
    return m_input.size();
}

void SimPort::discardInput()
{
    std::lock_guard lock(m_line.m_mutex);
    requireOpen();
    m_input.clear();
    ++discards;
}

QByteArray SimPort::readAll()
{
    std::lock_guard lock(m_line.m_mutex);
    requireReadable();
    return m_input.takeAll();
}

QByteArray SimPort::read(qint64 count)
{
    std::lock_guard lock(m_line.m_mutex);
    requireReadable();
    return m_input.take(count);
}

void SimPort::write(const QByteArray& bytes)
{
    std::lock_guard lock(m_line.m_mutex);
    requireOpen();
    if (!writeFailure.isEmpty())
        throw PortError(writeFailure);
    m_line.writeLocked(m_side, bytes, 0);
}

void SimPort::waitForMoreInput(int ms)
{
    requireOpen();
    m_line.blockUntil(m_line.now() + static_cast<quint64>(std::max(ms, 0)), this);
}

// ---- SimClock.

quint32 SimClock::milliseconds()
{
    return static_cast<quint32>(m_line.clockStart() + m_line.now());
}

void SimClock::checkpoint()
{
    ++yields;
    if (onYield)
        onYield();
}

void SimClock::sleep(int ms)
{
    m_line.blockUntil(m_line.now() + static_cast<quint64>(std::max(ms, 0)), nullptr);
}

// ---- SimulatedLine.

SimulatedLine::SimulatedLine(int participants, quint32 clockStart)
    : m_clockStart(clockStart), m_running(participants)
{
}

void SimulatedLine::setPeer(int side, std::function<void(const QByteArray&)> onArrival)
{
    std::lock_guard lock(m_mutex);
    m_peers[side] = std::move(onArrival);
}

void SimulatedLine::send(int side, const QByteArray& bytes, quint64 delayMs)
{
    std::lock_guard lock(m_mutex);
    writeLocked(side, bytes, delayMs);
}

void SimulatedLine::at(quint64 time, std::function<void()> action)
{
    std::lock_guard lock(m_mutex);
    m_events.emplace(time, std::move(action));
}

QList<SimulatedLine::Record> SimulatedLine::writes() const
{
    std::lock_guard lock(const_cast<std::recursive_mutex&>(m_mutex));
    return m_writes;
}

QByteArray SimulatedLine::written(int fromSide) const
{
    QByteArray all;
    for (const Record& record : writes()) {
        if (record.fromSide == fromSide)
            all += record.bytes;
    }
    return all;
}

// Each byte occupies 1/bytesPerMs of the line after the previous one and arrives at the end
// of its slot, at least 1 ms after it was written. Bytes arriving in the same millisecond
// arrive together.
void SimulatedLine::writeLocked(int fromSide, const QByteArray& bytes, quint64 delayMs)
{
    const quint64 start = m_now + delayMs;
    m_writes.append({start, fromSide, bytes});
    double slot = std::max<double>(static_cast<double>(start), m_lineFreeAt[fromSide]);
    std::map<quint64, QByteArray> arrivals;
    for (const char byte : bytes) {
        slot += 1.0 / bytesPerMs;
        const quint64 index = m_streamIndex[fromSide]++;
        const std::optional<char> arriving = fault ? fault(fromSide, index, byte) : byte;
        if (arriving)
            arrivals[static_cast<quint64>(std::ceil(slot))] += *arriving;
    }
    m_lineFreeAt[fromSide] = slot;
    const int toSide = 1 - fromSide;
    for (auto& [time, chunk] : arrivals)
        m_events.emplace(time, [this, toSide, chunk = chunk] { deliver(toSide, chunk); });
}

void SimulatedLine::deliver(int side, const QByteArray& bytes)
{
    SimPort& target = port(side);
    if (target.m_open) {
        target.m_input.append(bytes);
        ++target.m_arrivals;
    }
    if (m_peers[side])
        m_peers[side](bytes);
}

void SimulatedLine::blockUntil(quint64 deadline, SimPort* port)
{
    std::unique_lock lock(m_mutex);
    Waiter waiter{deadline, port, port ? port->m_arrivals : 0};
    if (deadline <= m_now)
        return;
    m_waiters.append(&waiter);
    --m_running;
    while (!waiter.runnable) {
        if (m_running == 0)
            advance();
        else
            m_wake.wait(lock);
    }
}

void SimulatedLine::finished()
{
    std::lock_guard lock(m_mutex);
    --m_running;
    if (m_running == 0 && !m_waiters.isEmpty())
        advance();
}

// Moves time to the next event or deadline until some waiter can run. The lock is held.
void SimulatedLine::advance()
{
    while (!m_waiters.isEmpty()) {
        quint64 next = m_events.empty() ? UINT64_MAX : m_events.begin()->first;
        for (const Waiter* waiter : std::as_const(m_waiters))
            next = std::min(next, waiter->deadline);
        if (next == UINT64_MAX)
            throw std::logic_error("simulated line: every participant waits forever");
        m_now = std::max<quint64>(m_now, next);
        while (!m_events.empty() && m_events.begin()->first <= m_now) {
            const std::function<void()> action = std::move(m_events.begin()->second);
            m_events.erase(m_events.begin());
            action();
        }
        bool woken = false;
        for (qsizetype i = m_waiters.size() - 1; i >= 0; --i) {
            Waiter* waiter = m_waiters.at(i);
            if (waiter->deadline <= m_now ||
                (waiter->port && waiter->port->m_arrivals != waiter->arrivalMark)) {
                waiter->runnable = true;
                ++m_running;
                m_waiters.removeAt(i);
                woken = true;
            }
        }
        if (woken) {
            m_wake.notify_all();
            return;
        }
    }
}

} // namespace kel::test
