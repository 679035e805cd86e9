// The XMODEM sender against a receiver that answers with any bytes. After the option bytes
// (SerialFuzzSupport.h; bit 0 unused) one byte gives the file's length in units of 5 bytes
// (0 to 1275, so files end inside, at and past block boundaries); the rest is what the receiver
// sends, one byte per answer.
//
// Whatever the answers, the sender ends with one of its result codes, every packet it puts out
// is well formed and carries the file's bytes for its block (0xFF past the end), blocks go
// forward one at a time, and a success means every block went out before the end.

#include "SerialFuzzSupport.h"

#include "serial/Xmodem.h"

#include <QBuffer>

using namespace kel;
using namespace kel::serial;

namespace {

QByteArray fileOfLength(qsizetype length)
{
    QByteArray bytes(length, Qt::Uninitialized);
    for (qsizetype i = 0; i < length; ++i)
        bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xFF); // never repeats within a block
    return bytes;
}

QByteArray expectedData(const QByteArray& file, qsizetype block)
{
    QByteArray data = file.mid((block - 1) * kBlockSize, kBlockSize);
    data.append(QByteArray(kBlockSize - data.size(), static_cast<char>(kFiller)));
    return data;
}

// The block index (counted from 1) a packet carries, checked against the file; 0 for EOT and
// CAN, which carry none.
qsizetype checkPacket(const QByteArray& packet, const QByteArray& file, qsizetype lastBlock)
{
    if (packet.size() == 1) {
        const auto byte = static_cast<quint8>(packet.front());
        fuzz::check(byte == EOT || byte == CAN);
        return 0;
    }
    fuzz::check(packet.size() == 3 + kBlockSize + 1 || packet.size() == 3 + kBlockSize + 2);
    fuzz::check(static_cast<quint8>(packet[0]) == SOH);
    const auto number = static_cast<quint8>(packet[1]);
    fuzz::check((static_cast<quint8>(packet[2]) ^ 0xFF) == number);
    // The packet is either the one sent last (again) or the next one.
    const qsizetype block = static_cast<quint8>(lastBlock) == number ? lastBlock : lastBlock + 1;
    fuzz::check(static_cast<quint8>(block) == number);
    const QByteArray data = packet.mid(3, kBlockSize);
    fuzz::check(data == expectedData(file, block));
    if (packet.size() == 3 + kBlockSize + 2) {
        const quint16 crc = XmCrc16(kBlockSize, data, 0);
        fuzz::check(static_cast<quint8>(packet[3 + kBlockSize]) == (crc >> 8) &&
                    static_cast<quint8>(packet[4 + kBlockSize]) == (crc & 0xFF));
    } else {
        quint8 sum = 0;
        for (const char byte : data)
            sum = static_cast<quint8>(sum + static_cast<quint8>(byte));
        fuzz::check(static_cast<quint8>(packet[3 + kBlockSize]) == sum);
    }
    return block;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::LineOptions options = fuzz::lineOptions(data, size);
    if (options.consumed == 0 || size <= size_t(options.consumed))
        return 0;
    const QByteArray file = fileOfLength(qsizetype(data[options.consumed]) * 5);
    const qsizetype skip = options.consumed + 1;
    const QByteArray stream(reinterpret_cast<const char*>(data) + skip, qsizetype(size) - skip);
    options.config.burstSize = [](QByteArrayView) -> qsizetype { return 1; };

    fuzz::FuzzLink fixture(stream, options.config);
    SerialLink& link = *fixture.link;
    QString error;
    fixture.line->open(PortOptions{}, &error);
    link.xmPort = fixture.line.get();
    link.display.setBarMaximum(file.size());

    QByteArray source = file;
    QBuffer in(&source);
    in.open(QIODevice::ReadOnly);
    int code = -1;
    bool portFailed = false;
    try {
        code = XmSend(link, in);
    } catch (const PortError&) {
        portFailed = true;
    }
    fuzz::check(!portFailed || options.hangsUp);
    if (!portFailed) {
        fuzz::check(code == XM_SUCCESS || code == XM_STOPPED || code == XM_DATA_ERROR ||
                    code == XM_TIMEOUT || code == XM_REMOTE_CANCEL ||
                    (code == XM_SEND_FAILED && options.hangsUp));
        fuzz::check(code != XM_STOPPED || options.stops);
    }

    qsizetype lastBlock = 0;
    bool eotSent = false;
    for (const QByteArray& packet : fixture.line->writes()) {
        const qsizetype block = checkPacket(packet, file, lastBlock);
        if (block > 0) {
            fuzz::check(!eotSent); // no block after the end
            lastBlock = block;
        } else if (static_cast<quint8>(packet.front()) == EOT) {
            eotSent = true;
        }
    }
    const qsizetype blocks = (file.size() + kBlockSize - 1) / kBlockSize;
    fuzz::check(lastBlock <= blocks);
    if (code == XM_SUCCESS) {
        fuzz::check(eotSent && lastBlock == blocks);
        fuzz::check(stream.contains(static_cast<char>(ACK)));
    }
    return 0;
}
