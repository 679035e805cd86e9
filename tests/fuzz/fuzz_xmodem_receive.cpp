// The XMODEM receiver against a sender that puts any bytes on the line. The input after the
// option bytes (SerialFuzzSupport.h; bit 0 picks the checksum receiver instead of the CRC one)
// is the sender's byte stream; an answering sender sends a whole block when its burst starts
// with SOH and one byte otherwise.
//
// Whatever the bytes, the receiver ends with one of its result codes, writes whole blocks only,
// and a success means that every block in the file came off the line whole.

#include "SerialFuzzSupport.h"

#include "serial/Xmodem.h"

#include <QBuffer>

using namespace kel;
using namespace kel::serial;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::LineOptions options = fuzz::lineOptions(data, size);
    if (options.consumed == 0)
        return 0;
    const bool checksumReceiver = options.variantBit;
    const QByteArray stream(reinterpret_cast<const char*>(data) + options.consumed,
                            qsizetype(size) - options.consumed);
    // A CRC receiver that hears nothing for 30 s asks for checksum blocks instead.
    const bool checksumBlocks = checksumReceiver || options.config.firstArrivalMs > 30000;
    const qsizetype packetSize = 3 + kBlockSize + (checksumBlocks ? 1 : 2);
    options.config.burstSize = [packetSize](QByteArrayView rest) -> qsizetype {
        return static_cast<quint8>(rest.front()) == SOH ? packetSize : 1;
    };

    fuzz::FuzzLink fixture(stream, options.config);
    SerialLink& link = *fixture.link;
    QString error;
    fixture.line->open(PortOptions{}, &error);
    link.xmPort = fixture.line.get();

    QByteArray received;
    QBuffer file(&received);
    file.open(QIODevice::ReadWrite);
    int code = -1;
    bool portFailed = false;
    try {
        code = checksumReceiver ? XmReceiveChecksum(link, file) : XmReceive(link, file);
    } catch (const PortError&) {
        portFailed = true;
    }

    fuzz::check(received.size() % kBlockSize == 0);
    if (portFailed) {
        fuzz::check(options.hangsUp);
        return 0;
    }
    fuzz::check(code == XM_SUCCESS || code == XM_STOPPED || code == XM_DATA_ERROR ||
                code == XM_TIMEOUT || code == XM_REMOTE_CANCEL ||
                (code == XM_SEND_FAILED && options.hangsUp));
    fuzz::check(code != XM_STOPPED || options.stops);
    fuzz::check(code != XM_REMOTE_CANCEL || stream.contains(static_cast<char>(CAN)));
    if (code == XM_SUCCESS) {
        fuzz::check(stream.count(static_cast<char>(EOT)) >= 2);
        fuzz::check(!fixture.line->writes().isEmpty() &&
                    fixture.line->writes().last() == QByteArray(1, static_cast<char>(ACK)));
        for (qsizetype at = 0; at < received.size(); at += kBlockSize)
            fuzz::check(stream.contains(QByteArrayView(received).sliced(at, kBlockSize)));
    }
    return 0;
}
