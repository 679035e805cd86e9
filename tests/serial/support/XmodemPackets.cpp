#include "support/XmodemPackets.h"
#include "serial/Xmodem.h"

namespace kel::test {

using namespace kel::serial;

QByteArray block(quint8 number, QByteArray data, Check check, char fill)
{
    data = data.left(kBlockSize);
    data.append(QByteArray(kBlockSize - data.size(), fill));
    QByteArray packet;
    packet.append(static_cast<char>(SOH));
    packet.append(static_cast<char>(number));
    packet.append(static_cast<char>(number ^ 0xFF));
    packet.append(data);
    if (check == Check::Crc) {
        const quint16 crc = XmCrc16(kBlockSize, data, 0);
        packet.append(static_cast<char>(crc >> 8));
        packet.append(static_cast<char>(crc & 0xFF));
    } else {
        quint8 sum = 0;
        for (const char b : std::as_const(data))
            sum = static_cast<quint8>(sum + static_cast<quint8>(b));
        packet.append(static_cast<char>(sum));
    }
    return packet;
}

QByteArray patternFile(qsizetype size, quint32 seed)
{
    QByteArray data(size, Qt::Uninitialized);
    quint32 state = seed * 2654435761u + 1;
    for (qsizetype i = 0; i < size; ++i) {
        state = state * 1664525u + 1013904223u;
        data[i] = static_cast<char>(state >> 24);
    }
    return data;
}

QByteArray padded(const QByteArray& data, char fill)
{
    const qsizetype remainder = data.size() % kBlockSize;
    return remainder == 0 ? data : data + QByteArray(kBlockSize - remainder, fill);
}

} // namespace kel::test
