// The byte-level helpers shared by the XMODEM receiver and sender.

#include "serial/Xmodem.h"

#include <algorithm>
#include <cmath>

namespace kel::serial {

namespace {

// A sender that streams a block keeps the line busy with gaps of about one character time;
// this many character times of silence mean it has finished.
constexpr double kQuietCharacters = 20.0;
constexpr int kMinimumQuietMs = 100;

int showSendFailure(SerialLink& link, const PortError& error)
{
    link.notices.showPortFailure(error.description());
    return XM_SEND_FAILED;
}

int sleepSlice(const SerialLink& link, quint32 remainingMs)
{
    return static_cast<int>(
        std::min<quint32>(static_cast<quint32>(std::max(link.waitSliceMs, 1)), remainingMs));
}

} // namespace

void checkpoint(SerialLink& link)
{
    link.display.publish(link.view);
    link.clock.checkpoint();
}

BytePort& xmPort(SerialLink& link)
{
    if (!link.xmPort)
        throw PortError(QStringLiteral("No port is held for the transfer"));
    return *link.xmPort;
}

int XmWaitBytes(SerialLink& link, int count, int timeoutMs)
{
    BytePort& port = xmPort(link);
    const quint32 start = link.clock.milliseconds();
    for (;;) {
        checkpoint(link);
        if (link.blnStop)
            return XM_STOPPED;
        if (port.bytesAvailable() >= count)
            return count;
        const quint32 elapsed = elapsedSince(link.clock, start);
        if (elapsed >= quint32(timeoutMs))
            return XM_TIMEOUT;
        port.waitForMoreInput(sleepSlice(link, quint32(timeoutMs) - elapsed));
    }
}

int XmReadByte(SerialLink& link, int timeoutMs)
{
    const int waited = XmWaitBytes(link, 1, timeoutMs);
    if (waited != 1)
        return waited;
    const QByteArray byte = xmPort(link).read(1);
    if (byte.size() != 1)
        throw PortError(QStringLiteral("A buffered byte could not be read"));
    return static_cast<quint8>(byte.at(0));
}

int XmSendBytes(SerialLink& link, const QByteArray& bytes)
{
    try {
        BytePort& port = xmPort(link);
        port.discardInput();
        port.write(bytes);
        return 0;
    } catch (const PortError& error) {
        return showSendFailure(link, error);
    }
}

int XmSendByte(SerialLink& link, quint8 byte)
{
    return XmSendBytes(link, QByteArray(1, static_cast<char>(byte)));
}

int XmSendCancel(SerialLink& link)
{
    const quint32 start = link.clock.milliseconds();
    for (;;) {
        checkpoint(link);
        const quint32 elapsed = elapsedSince(link.clock, start);
        if (elapsed >= quint32(kCancelPauseMs))
            break;
        link.clock.sleep(sleepSlice(link, quint32(kCancelPauseMs) - elapsed));
    }
    try {
        BytePort& port = xmPort(link);
        for (int i = 0; i < kCancelBytes; ++i) {
            port.discardInput();
            port.write(QByteArray(1, static_cast<char>(CAN)));
        }
        return 0;
    } catch (const PortError& error) {
        return showSendFailure(link, error);
    }
}

int XmPurgeLine(SerialLink& link)
{
    BytePort& port = xmPort(link);
    const quint32 quietMs = static_cast<quint32>(std::max<double>(
        kMinimumQuietMs, std::ceil(kQuietCharacters * characterTimeMs(link.xmLine))));
    const quint32 start = link.clock.milliseconds();
    quint32 lastArrival = start;
    for (;;) {
        checkpoint(link);
        if (link.blnStop)
            return XM_STOPPED;
        if (port.bytesAvailable() > 0) {
            port.discardInput();
            lastArrival = link.clock.milliseconds();
        }
        const quint32 quiet = elapsedSince(link.clock, lastArrival);
        if (quiet >= quietMs || elapsedSince(link.clock, start) >= quint32(kBlockByteTimeoutMs))
            return 0;
        port.waitForMoreInput(sleepSlice(link, quietMs - quiet));
    }
}

quint16 XmCrc16(qsizetype length, QByteArrayView bytes, qsizetype start)
{
    quint16 crc = 0;
    const qsizetype end = std::min(bytes.size(), start + length);
    for (qsizetype i = std::max<qsizetype>(start, 0); i < end; ++i) {
        crc ^= static_cast<quint16>(static_cast<quint8>(bytes[i]) << 8);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 0x8000) ? static_cast<quint16>((crc << 1) ^ 0x1021)
                                 : static_cast<quint16>(crc << 1);
    }
    return crc;
}

} // namespace kel::serial
