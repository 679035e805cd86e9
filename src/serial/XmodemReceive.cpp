// The XMODEM receiver: CRC mode with its fall-back to checksum mode.

#include "serial/Xmodem.h"

#include <optional>

namespace kel::serial {

namespace {

enum class Variant { Crc, Checksum };

// What a step of the receive loop decided: nothing (read on), or the end with a result code.
using Step = std::optional<int>;
constexpr Step kReadOn = std::nullopt;

class Receiver {
public:
    Receiver(SerialLink& link, QIODevice& file, Variant variant)
        : m_link(link), m_port(xmPort(link)), m_file(file), m_variant(variant)
    {
    }

    int run();

private:
    Step onEot();
    Step onSoh();
    Step onCan();
    Step onTimeout();
    Step onOtherByte();
    Step receiveExpectedBlock();
    Step dropRepeatedBlock();

    qsizetype bodySize() const
    {
        return m_variant == Variant::Crc ? kBlockSize + 2 : kBlockSize + 1;
    }
    bool checkValueAgrees(const QByteArray& body) const;
    void writeBlock(const QByteArray& body);
    void blockKept(const QByteArray& body);

    Step send(quint8 byte);
    // NAK once the rest of a garbled block has passed: a NAK sent while the sender is still
    // streaming lets the tail be read as protocol bytes (a stray pair of EOT would end the
    // transfer as a success with blocks missing).
    Step nakWhenQuiet();
    Step waitFailed(int waitResult);
    Step countError(int limitResult);
    int endDiscarding(int code);
    int cancel(int code);
    int fallBack();

    SerialLink& m_link;
    BytePort& m_port;
    QIODevice& m_file;
    const Variant m_variant;

    quint8 m_expectedBlock = 1;
    qint64 m_nextPosition = 1; // counted from 1
    int m_errors = 0;
    int m_eotCount = 0;
    int m_canCount = 0;
    bool m_answered = false; // CRC mode: the sender has shown itself
};

int Receiver::run()
{
    if (m_variant == Variant::Crc) {
        const ReceiveCaption caption = m_link.notices.receiveCaption();
        m_link.display.setReadCaption(caption.before, caption.after);
    }
    if (const int sent = XmSendByte(m_link, m_variant == Variant::Crc ? CRC_REQUEST : NAK))
        return sent;
    for (;;) {
        const int byte = XmReadByte(m_link, kBlockByteTimeoutMs);
        Step step;
        switch (byte) {
        case EOT:
            step = onEot();
            break;
        case SOH:
            step = onSoh();
            break;
        case CAN:
            step = onCan();
            break;
        case XM_STOPPED:
            step = cancel(XM_STOPPED);
            break;
        case XM_TIMEOUT:
            step = onTimeout();
            break;
        default:
            step = onOtherByte();
            break;
        }
        if (step)
            return *step;
    }
}

Step Receiver::onEot()
{
    m_answered = true;
    m_errors = 0;
    m_canCount = 0;
    ++m_eotCount;
    if (m_eotCount == 1)
        return nakWhenQuiet();
    if (const int sent = XmSendByte(m_link, ACK))
        return sent;
    return XM_SUCCESS;
}

Step Receiver::onSoh()
{
    m_answered = true;
    const int waited = XmWaitBytes(m_link, 2, kBlockByteTimeoutMs);
    if (waited != 2)
        return waitFailed(waited);
    const QByteArray header = m_port.read(2);
    if (header.size() != 2)
        throw PortError(QStringLiteral("A buffered block header could not be read"));
    const quint8 block = static_cast<quint8>(header.at(0));
    const quint8 complement = static_cast<quint8>(header.at(1));

    if ((complement ^ 0xFF) != block) {
        m_canCount = 0;
        m_eotCount = 0;
        if (const Step end = countError(XM_TIMEOUT))
            return end;
        return nakWhenQuiet();
    }
    if (block == m_expectedBlock)
        return receiveExpectedBlock();
    if (block == static_cast<quint8>(m_expectedBlock - 1))
        return dropRepeatedBlock();
    return cancel(XM_DATA_ERROR); // out of sequence
}

Step Receiver::receiveExpectedBlock()
{
    const int waited = XmWaitBytes(m_link, static_cast<int>(bodySize()), kBlockByteTimeoutMs);
    if (waited != bodySize())
        return waitFailed(waited);
    const QByteArray body = m_port.read(bodySize());
    if (body.size() != bodySize())
        throw PortError(QStringLiteral("A buffered block could not be read"));
    m_eotCount = 0;
    m_canCount = 0;
    if (!checkValueAgrees(body)) {
        if (const Step end = countError(XM_DATA_ERROR))
            return end;
        return nakWhenQuiet();
    }
    if (m_variant == Variant::Crc) {
        if (const Step failed = send(ACK))
            return failed;
        writeBlock(body);
        // The position shown after each byte: no event is handled between the bytes of a
        // block, so the position after its last byte is the only one a window could show.
        m_link.display.setReadPosition(m_nextPosition);
        ++m_expectedBlock;
        blockKept(body);
        return kReadOn;
    }
    writeBlock(body);
    ++m_expectedBlock;
    const Step sent = send(ACK);
    blockKept(body);
    return sent;
}

// After the ACK, so that the sender's next block is on its way while the observer runs.
void Receiver::blockKept(const QByteArray& body)
{
    const qint64 end = m_nextPosition - 1;
    m_link.display.noteProgress(end, m_link.clock.milliseconds());
    if (m_link.blockObserver)
        m_link.blockObserver->blockAccepted(end - kBlockSize,
                                            QByteArrayView(body.constData(), kBlockSize));
}

// The sender missed our ACK and repeats the block we have already written.
Step Receiver::dropRepeatedBlock()
{
    const int waited = XmWaitBytes(m_link, static_cast<int>(bodySize()), kBlockByteTimeoutMs);
    if (waited != bodySize())
        return waitFailed(waited);
    m_port.read(bodySize());
    m_errors = 0;
    m_eotCount = 0;
    m_canCount = 0;
    return send(ACK);
}

Step Receiver::onCan()
{
    m_answered = true;
    m_errors = 0;
    m_eotCount = 0;
    ++m_canCount;
    // A sender cancels with a burst of CAN. When the second is already here, the NAK below
    // would throw it away with the receive buffer and turn the cancel into ten time-outs.
    if (m_canCount == 1 && m_port.bytesAvailable() > 0 &&
        static_cast<quint8>(m_port.read(1).at(0)) == CAN)
        ++m_canCount;
    if (m_canCount >= 2)
        return endDiscarding(XM_REMOTE_CANCEL);
    return send(NAK);
}

Step Receiver::onTimeout()
{
    ++m_errors;
    m_canCount = 0;
    m_eotCount = 0;
    if (m_variant == Variant::Crc && !m_answered && m_errors >= kCrcStartAttempts)
        return fallBack();
    if (m_errors >= kMaxErrors)
        return endDiscarding(XM_TIMEOUT);
    if (m_variant == Variant::Crc && !m_answered)
        return send(CRC_REQUEST);
    return send(NAK);
}

Step Receiver::onOtherByte()
{
    if (m_variant == Variant::Checksum || m_answered)
        return kReadOn;
    ++m_errors;
    if (m_errors >= kCrcStartAttempts)
        return fallBack();
    return send(CRC_REQUEST);
}

bool Receiver::checkValueAgrees(const QByteArray& body) const
{
    if (m_variant == Variant::Crc) {
        const quint16 crc = XmCrc16(kBlockSize, body, 0);
        return static_cast<quint8>(body.at(kBlockSize)) == (crc >> 8) &&
               static_cast<quint8>(body.at(kBlockSize + 1)) == (crc & 0xFF);
    }
    quint8 sum = 0;
    for (int i = 0; i < kBlockSize; ++i)
        sum = static_cast<quint8>(sum + static_cast<quint8>(body.at(i)));
    return static_cast<quint8>(body.at(kBlockSize)) == sum;
}

void Receiver::writeBlock(const QByteArray& body)
{
    if (!m_file.seek(m_nextPosition - 1) ||
        m_file.write(body.constData(), kBlockSize) != kBlockSize) {
        const FileError failure(m_file.errorString());
        // The sensor must not be left sending (or, in CRC mode, waiting after the ACK) for a
        // file that can no longer be kept: cancel on the line as a stop does.
        XmSendCancel(m_link);
        throw failure;
    }
    m_nextPosition += kBlockSize;
}

Step Receiver::send(quint8 byte)
{
    if (const int sent = XmSendByte(m_link, byte))
        return sent;
    return kReadOn;
}

Step Receiver::nakWhenQuiet()
{
    if (XmPurgeLine(m_link) == XM_STOPPED)
        return cancel(XM_STOPPED);
    return send(NAK);
}

// The wait rule of the header and body waits.
Step Receiver::waitFailed(int waitResult)
{
    if (waitResult == XM_STOPPED)
        return cancel(XM_STOPPED);
    m_canCount = 0;
    m_eotCount = 0;
    if (const Step end = countError(XM_TIMEOUT))
        return end;
    return send(NAK);
}

Step Receiver::countError(int limitResult)
{
    ++m_errors;
    if (m_errors >= kMaxErrors)
        return endDiscarding(limitResult);
    return kReadOn;
}

int Receiver::endDiscarding(int code)
{
    m_port.discardInput();
    return code;
}

int Receiver::cancel(int code)
{
    if (const int sent = XmSendCancel(m_link))
        return sent;
    return code;
}

int Receiver::fallBack()
{
    return XmReceiveChecksum(m_link, m_file);
}

} // namespace

int XmReceive(SerialLink& link, QIODevice& file)
{
    return Receiver(link, file, Variant::Crc).run();
}

int XmReceiveChecksum(SerialLink& link, QIODevice& file)
{
    return Receiver(link, file, Variant::Checksum).run();
}

} // namespace kel::serial
