#include "FaultyPort.h"

#include "serial/XmodemProtocol.h"

namespace kel::sim {

namespace {

constexpr qsizetype kChecksumPacketSize = 3 + serial::kBlockSize + 1;

bool isDataPacket(const QByteArray& bytes)
{
    return bytes.size() >= kChecksumPacketSize && static_cast<quint8>(bytes.at(0)) == serial::SOH;
}

} // namespace

FaultyPort::FaultyPort(serial::BytePort& inner, const ByteFaults& faults,
                       std::atomic<bool>& stopRequest)
    : m_inner(inner), m_faults(faults), m_stopRequest(stopRequest), m_random(faults.seed),
      m_loseRandom(faults.seed ^ 0x5eed105eu)
{
}

void FaultyPort::setMode(Mode mode)
{
    m_mode = mode;
    m_transferBytes = 0;
    if (mode == Mode::Sending) {
        m_lastPacket.clear();
        m_packets = 0;
        m_cancelled = false;
    }
}

bool FaultyPort::open(const serial::PortOptions& options, QString* error)
{
    if (m_hungUp) {
        if (error)
            *error = QStringLiteral("The line was hung up");
        return false;
    }
    return m_inner.open(options, error);
}

void FaultyPort::hangUp()
{
    m_hungUp = true;
    m_input.clear();
    m_inner.close();
}

void FaultyPort::requireLine() const
{
    if (m_hungUp)
        throw serial::PortError(QStringLiteral("The line was hung up"));
}

bool FaultyPort::countTowardsHangUp(qsizetype bytes)
{
    if (m_mode == Mode::Idle || m_faults.hangUpAfterBytes <= 0)
        return false;
    m_transferBytes += bytes;
    return m_transferBytes >= m_faults.hangUpAfterBytes;
}

void FaultyPort::waitForMoreInput(int ms)
{
    requireLine();
    m_inner.waitForMoreInput(ms);
}

void FaultyPort::pull()
{
    requireLine();
    QByteArray arrived = m_inner.readAll();
    if (m_mode != Mode::Idle && m_faults.losePercent > 0) {
        std::uniform_real_distribution<double> percent(0.0, 100.0);
        QByteArray kept;
        for (const char byte : arrived) {
            if (percent(m_loseRandom) >= m_faults.losePercent)
                kept.append(byte);
        }
        arrived = kept;
    }
    if (m_mode == Mode::Sending && m_faults.ignoreCrcRequest)
        arrived.replace(static_cast<char>(serial::CRC_REQUEST), QByteArray());
    m_input.append(arrived);
    if (countTowardsHangUp(arrived.size())) {
        hangUp();
        requireLine();
    }
}

qint64 FaultyPort::bytesAvailable()
{
    pull();
    return m_input.size();
}

void FaultyPort::discardInput()
{
    requireLine();
    m_inner.discardInput();
    m_input.clear();
}

QByteArray FaultyPort::readAll()
{
    pull();
    return m_input.takeAll();
}

QByteArray FaultyPort::read(qint64 count)
{
    pull();
    return m_input.take(count);
}

void FaultyPort::write(const QByteArray& bytes)
{
    requireLine();
    if (m_mode == Mode::Idle) {
        m_inner.write(bytes);
        return;
    }
    if (cancelsHere(bytes))
        return;
    const QByteArray out = damaged(bytes);
    if (m_faults.hangUpAfterBytes > 0 &&
        m_transferBytes + out.size() >= m_faults.hangUpAfterBytes) {
        // The cable comes out in the middle of the bytes.
        m_inner.write(out.first(m_faults.hangUpAfterBytes - m_transferBytes));
        hangUp();
        requireLine();
    }
    countTowardsHangUp(out.size());
    m_inner.write(out);
}

// A send is cancelled instead of putting out the first block past the limit; a block sent
// again after a NAK does not count twice.
bool FaultyPort::cancelsHere(const QByteArray& bytes)
{
    if (m_mode != Mode::Sending || m_faults.cancelAfterBlock <= 0 || !isDataPacket(bytes))
        return false;
    if (bytes == m_lastPacket)
        return false;
    if (m_packets >= m_faults.cancelAfterBlock) {
        m_cancelled = true;
        m_stopRequest = true;
        return true;
    }
    ++m_packets;
    m_lastPacket = bytes;
    return false;
}

QByteArray FaultyPort::damaged(const QByteArray& bytes)
{
    if (m_faults.corruptPercent <= 0 && m_faults.dropPercent <= 0)
        return bytes;
    std::uniform_real_distribution<double> percent(0.0, 100.0);
    std::uniform_int_distribution<int> bit(0, 7);
    QByteArray out;
    out.reserve(bytes.size());
    for (const char byte : bytes) {
        if (percent(m_random) < m_faults.dropPercent)
            continue;
        if (percent(m_random) < m_faults.corruptPercent)
            out.append(static_cast<char>(byte ^ (1 << bit(m_random))));
        else
            out.append(byte);
    }
    return out;
}

} // namespace kel::sim
