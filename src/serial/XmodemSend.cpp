// The XMODEM sender: waits for the receiver's start request, then sends 128-byte blocks until
// each is acknowledged, and EOT.

#include "serial/Xmodem.h"

#include <algorithm>
#include <optional>

namespace kel::serial {

namespace {

enum class Variant { Crc, Checksum };

using Step = std::optional<int>;
constexpr Step kNextPacket = std::nullopt;

class Sender {
public:
    Sender(SerialLink& link, QIODevice& file) : m_link(link), m_file(file) {}

    int run();

private:
    Step awaitStartRequest();
    void buildPacket();
    void advanceProgress();
    Step awaitAnswer();
    int cancel(int code);

    SerialLink& m_link;
    QIODevice& m_file;

    Variant m_variant = Variant::Crc;
    qint64 m_length = 0;
    qint64 m_nextPosition = 1; // counted from 1
    quint8 m_block = 0;
    int m_canCount = 0;
    bool m_packetIsEot = false;
    QByteArray m_packet; // one buffer for every packet
    QByteArray m_data;
};

int Sender::run()
{
    m_length = m_file.size();
    if (!m_file.seek(0))
        throw FileError(m_file.errorString());
    if (const Step end = awaitStartRequest())
        return *end;
    for (;;) {
        buildPacket();
        const int sent = XmSendBytes(m_link, m_packet);
        advanceProgress();
        if (sent)
            return sent;
        if (const Step end = awaitAnswer())
            return *end;
    }
}

Step Sender::awaitStartRequest()
{
    int strayBytes = 0;
    for (;;) {
        const int byte = XmReadByte(m_link, kStartRequestTimeoutMs);
        switch (byte) {
        case CRC_REQUEST:
        case NAK:
            m_variant = byte == CRC_REQUEST ? Variant::Crc : Variant::Checksum;
            m_canCount = 0;
            return kNextPacket;
        case CAN:
            strayBytes = 0;
            if (++m_canCount >= 2)
                return XM_REMOTE_CANCEL;
            break;
        case XM_STOPPED:
            return cancel(XM_STOPPED);
        case XM_TIMEOUT: // one silence ends the start phase
            xmPort(m_link).discardInput();
            return XM_TIMEOUT;
        default:
            xmPort(m_link).discardInput();
            if (++strayBytes >= kMaxStrayStartBytes)
                return XM_DATA_ERROR;
            break;
        }
    }
}

void Sender::buildPacket()
{
    m_packetIsEot = m_nextPosition > m_length;
    if (m_packetIsEot) {
        m_packet = QByteArray(1, static_cast<char>(EOT));
        return;
    }
    ++m_block; // wraps from 255 to 0
    const qint64 available = std::min<qint64>(kBlockSize, m_length - m_nextPosition + 1);
    if (!m_file.seek(m_nextPosition - 1))
        throw FileError(m_file.errorString());
    m_data.resize(kBlockSize);
    if (m_file.read(m_data.data(), available) != available)
        throw FileError(m_file.errorString());
    std::fill(m_data.begin() + available, m_data.end(), static_cast<char>(kFiller));
    m_nextPosition += kBlockSize;

    m_packet.clear();
    m_packet.append(static_cast<char>(SOH));
    m_packet.append(static_cast<char>(m_block));
    m_packet.append(static_cast<char>(m_block ^ 0xFF));
    m_packet.append(m_data);
    if (m_variant == Variant::Crc) {
        const quint16 crc = XmCrc16(kBlockSize, m_data, 0);
        m_packet.append(static_cast<char>(crc >> 8));
        m_packet.append(static_cast<char>(crc & 0xFF));
    } else {
        quint8 sum = 0;
        for (const char byte : std::as_const(m_data))
            sum = static_cast<quint8>(sum + static_cast<quint8>(byte));
        m_packet.append(static_cast<char>(sum));
    }
}

// Once per packet, the EOT included, never for a repeat; the last step of a file whose length
// is no multiple of 128 stops at the bar's maximum.
void Sender::advanceProgress()
{
    TransferDisplay& display = m_link.display;
    if (display.barValue() < display.barMaximum())
        display.setBarValue(std::min(display.barValue() + kBlockSize, display.barMaximum()));
    display.noteProgress(display.barValue(), m_link.clock.milliseconds());
}

Step Sender::awaitAnswer()
{
    int retries = 0;
    for (;;) {
        const int byte = XmReadByte(m_link, kBlockByteTimeoutMs);
        switch (byte) {
        case ACK:
            m_canCount = 0;
            if (m_packetIsEot)
                return XM_SUCCESS;
            return kNextPacket;
        case NAK:
        case XM_TIMEOUT:
            m_canCount = 0;
            if (++retries >= kMaxErrors)
                return byte == NAK ? XM_DATA_ERROR : XM_TIMEOUT;
            if (const int sent = XmSendBytes(m_link, m_packet))
                return sent;
            break;
        case CAN:
            retries = 0;
            if (++m_canCount >= 2)
                return XM_REMOTE_CANCEL;
            break;
        case XM_STOPPED:
            return cancel(XM_STOPPED);
        default: // stray bytes, repeated start requests among them
            break;
        }
    }
}

int Sender::cancel(int code)
{
    if (const int sent = XmSendCancel(m_link))
        return sent;
    return code;
}

} // namespace

int XmSend(SerialLink& link, QIODevice& file)
{
    return Sender(link, file).run();
}

} // namespace kel::serial
