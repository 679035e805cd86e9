#pragma once
// XMODEM on the port that the transfer functions hold (SerialLink::xmPort, XmAttachPort).
//
// Every wait hands the display on at each pass and ends with XM_STOPPED as soon as it sees
// blnStop; between passes it sleeps on the port for at most SerialLink::waitSliceMs. Failures of
// the port while waiting or reading (PortError) and of the file (FileError) are not caught here:
// they reach the transfer wrappers.

#include "serial/SerialLink.h"
#include "serial/XmodemProtocol.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QIODevice>
#include <stdexcept>

namespace kel::serial {

// A file could not be read or written during a transfer.
class FileError : public std::runtime_error {
public:
    explicit FileError(const QString& description)
        : std::runtime_error(description.toStdString()), m_description(description)
    {
    }
    QString description() const { return m_description; }

private:
    QString m_description;
};

// ---- Byte helpers.

// The next byte (0 to 255), XM_STOPPED, or XM_TIMEOUT after timeoutMs.
int XmReadByte(SerialLink& link, int timeoutMs);
// count once at least count bytes are buffered (read them with the port's read(count)),
// XM_STOPPED, or XM_TIMEOUT after timeoutMs.
int XmWaitBytes(SerialLink& link, int count, int timeoutMs);
// Discards the receive buffer, then queues the bytes. 0, or XM_SEND_FAILED after a box
// titled "エラー" has shown the port's failure.
int XmSendBytes(SerialLink& link, const QByteArray& bytes);
int XmSendByte(SerialLink& link, quint8 byte);
// Pauses one second (still handing the display on), then sends ten CAN, each after discarding the
// receive buffer. 0, or XM_SEND_FAILED as XmSendBytes.
int XmSendCancel(SerialLink& link);
// Discards input until the line has been quiet for a few character times (at least 100 ms),
// at most kBlockByteTimeoutMs. 0, or XM_STOPPED.
int XmPurgeLine(SerialLink& link);
// CRC-16 (polynomial 0x1021, initial 0, most significant bit first) of length bytes of bytes
// from start; bytes past the end of bytes are not counted.
quint16 XmCrc16(qsizetype length, QByteArrayView bytes, qsizetype start);

// ---- Transfers. The file is open; the port is open and held (XmAttachPort, XmOpenPort).

// Receives a file into file, asking for CRC blocks and falling back to checksum blocks when
// the sender does not answer three requests. Every accepted block is written at its place
// before the next is acknowledged or the function returns; a block that cannot be written
// cancels the transfer on the line, then throws FileError. Returns XM_SUCCESS, XM_STOPPED,
// XM_DATA_ERROR, XM_TIMEOUT, XM_REMOTE_CANCEL or XM_SEND_FAILED.
int XmReceive(SerialLink& link, QIODevice& file);
// The checksum-mode receive that XmReceive falls back to, from a fresh state.
int XmReceiveChecksum(SerialLink& link, QIODevice& file);
// Sends file in the variant the receiver asks for, filling the last block with 0xFF and
// advancing the display's bar by 128 per packet up to its maximum. Same results as XmReceive.
int XmSend(SerialLink& link, QIODevice& file);

// The port held by the transfer functions; throws PortError when none is held.
BytePort& xmPort(SerialLink& link);

} // namespace kel::serial
