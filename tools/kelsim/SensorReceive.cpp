#include "SensorReceive.h"

#include "serial/LineSettings.h"
#include "serial/Xmodem.h"

#include <algorithm>
#include <cmath>

namespace kel::sim {

using namespace serial;

namespace {

constexpr int kBlockStarts = -1;
constexpr int kMinBlockTimeoutMs = 1000;

class Receiver {
public:
    Receiver(SerialLink& link, const ReceiveOptions& options)
        : m_link(link), m_options(options),
          m_bodySize(2 + kBlockSize + (options.checksumOnly ? 1 : 2)),
          // Three times a block's time on the line: generous, yet short enough to NAK a block
          // that lost bytes without a long stall.
          m_blockTimeoutMs(std::max(
              kMinBlockTimeoutMs,
              static_cast<int>(std::ceil(3 * (3 + kBlockSize + 2) * characterTimeMs(link.xmLine)))))
    {
    }

    ReceiveResult run();

private:
    int awaitFirstBlock();
    int takeBlock(); // after SOH: 0 to go on, else a result code
    bool checkPasses(const QByteArray& body) const;
    int answer(quint8 byte);
    int rejectBlock();
    int cancel(int code);

    SerialLink& m_link;
    ReceiveOptions m_options;
    qsizetype m_bodySize; // block number, complement, data, check
    int m_blockTimeoutMs;

    ReceiveResult m_result;
    quint8 m_expected = 1;
    int m_errors = 0;
};

ReceiveResult Receiver::run()
{
    m_result.code = awaitFirstBlock();
    if (m_result.code != kBlockStarts)
        return m_result;
    for (;;) {
        if (const int end = takeBlock()) {
            m_result.code = end;
            return m_result;
        }
        int canCount = 0;
        int eotCount = 0;
        for (;;) {
            const int byte = XmReadByte(m_link, kBlockByteTimeoutMs);
            if (byte == SOH)
                break;
            // A lost start byte can make a block number of 4 look like the end: the end is
            // believed when the PC repeats it after a NAK.
            if (byte == EOT) {
                canCount = 0;
                m_result.code = answer(++eotCount >= 2 ? ACK : NAK);
                if (m_result.code != XM_SUCCESS || eotCount >= 2)
                    return m_result;
                continue;
            }
            eotCount = 0;
            if (byte == CAN && ++canCount >= 2) {
                m_result.code = XM_REMOTE_CANCEL;
                return m_result;
            }
            if (byte != CAN)
                canCount = 0;
            if (byte == XM_STOPPED) {
                m_result.code = cancel(XM_STOPPED);
                return m_result;
            }
            if (byte == XM_TIMEOUT) {
                if (++m_errors >= kMaxErrors) {
                    m_result.code = cancel(XM_TIMEOUT);
                    return m_result;
                }
                if (const int sent = answer(NAK)) {
                    m_result.code = sent;
                    return m_result;
                }
            }
            // Anything else is line noise between blocks.
        }
    }
}

// kBlockStarts once a block starts; the transfer result otherwise.
int Receiver::awaitFirstBlock()
{
    const quint8 request = m_options.checksumOnly ? NAK : CRC_REQUEST;
    const quint32 start = m_link.clock.milliseconds();
    while (elapsedSince(m_link.clock, start) < quint32(m_options.startWindowMs)) {
        if (const int sent = XmSendByte(m_link, request))
            return sent;
        const int byte = XmReadByte(m_link, m_options.startIntervalMs);
        if (byte == SOH)
            return kBlockStarts;
        if (byte == XM_STOPPED)
            return XM_STOPPED;
        if (byte == EOT) // an empty file
            return answer(ACK);
        // The PC cancels with a run of CAN; the next request would throw the rest away.
        if (byte == CAN) {
            const int next = XmReadByte(m_link, m_options.startIntervalMs);
            if (next == CAN)
                return XM_REMOTE_CANCEL;
            if (next == SOH)
                return kBlockStarts;
            if (next == XM_STOPPED)
                return XM_STOPPED;
        }
    }
    return XM_TIMEOUT;
}

int Receiver::takeBlock()
{
    const int waited = XmWaitBytes(m_link, static_cast<int>(m_bodySize), m_blockTimeoutMs);
    if (waited == XM_STOPPED)
        return cancel(XM_STOPPED);
    if (waited == XM_TIMEOUT)
        return rejectBlock();
    const QByteArray body = xmPort(m_link).read(m_bodySize);
    const auto number = static_cast<quint8>(body.at(0));
    const auto complement = static_cast<quint8>(body.at(1));
    if ((number ^ 0xFF) != complement || !checkPasses(body))
        return rejectBlock();
    if (number == static_cast<quint8>(m_expected - 1)) // the ACK was lost: the PC repeats
        return answer(ACK);
    if (number != m_expected)
        return cancel(XM_DATA_ERROR);
    if (m_options.cancelAfterBlock > 0 && m_result.blocks >= m_options.cancelAfterBlock) {
        // The fault: refuse the block with a cancel instead of an acknowledgement.
        if (const int sent = XmSendBytes(m_link, QByteArray(kCancelBytes, char(CAN))))
            return sent;
        return XM_STOPPED;
    }
    m_result.data.append(body.mid(2, kBlockSize));
    ++m_result.blocks;
    ++m_expected;
    m_errors = 0;
    return answer(ACK);
}

bool Receiver::checkPasses(const QByteArray& body) const
{
    const QByteArrayView data = QByteArrayView(body).sliced(2, kBlockSize);
    if (m_options.checksumOnly) {
        quint8 sum = 0;
        for (const char byte : data)
            sum = static_cast<quint8>(sum + static_cast<quint8>(byte));
        return sum == static_cast<quint8>(body.at(2 + kBlockSize));
    }
    const quint16 crc = XmCrc16(kBlockSize, data, 0);
    return static_cast<quint8>(body.at(2 + kBlockSize)) == (crc >> 8) &&
           static_cast<quint8>(body.at(3 + kBlockSize)) == (crc & 0xFF);
}

int Receiver::answer(quint8 byte)
{
    return XmSendByte(m_link, byte);
}

// A damaged or short block: wait for the line to go quiet so the NAK is not lost among the
// rest of it, then ask again.
int Receiver::rejectBlock()
{
    if (++m_errors >= kMaxErrors)
        return cancel(XM_DATA_ERROR);
    if (XmPurgeLine(m_link) == XM_STOPPED)
        return cancel(XM_STOPPED);
    return answer(NAK);
}

int Receiver::cancel(int code)
{
    if (const int sent = XmSendBytes(m_link, QByteArray(kCancelBytes, char(CAN))))
        return sent;
    return code;
}

} // namespace

ReceiveResult receiveFile(SerialLink& link, const ReceiveOptions& options)
{
    return Receiver(link, options).run();
}

} // namespace kel::sim
