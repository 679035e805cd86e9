#pragma once
// XMODEM as the sensor speaks it: 128-byte blocks only, CRC-16 or 8-bit checksum, and the
// result codes that every transfer function returns.

#include <QtGlobal>

namespace kel::serial {

// Protocol bytes.
constexpr quint8 SOH = 0x01; // start of a 128-byte block (the 1K start byte 0x02 is never used)
constexpr quint8 EOT = 0x04; // end of transmission
constexpr quint8 ACK = 0x06; // block or end accepted
constexpr quint8 NAK = 0x15; // block rejected; also the checksum-mode start request
constexpr quint8 CAN = 0x18; // cancel
constexpr quint8 CRC_REQUEST = 0x43; // "C": the CRC-mode start request

constexpr int kBlockSize = 128;
constexpr quint8 kFiller = 0xFF; // data positions past the end of a sent file

// What a transfer of bytes moves on the line and writes: whole blocks, the last one filled up.
constexpr qint64 wholeBlockBytes(qint64 bytes)
{
    return (bytes + kBlockSize - 1) / kBlockSize * kBlockSize;
}

// Result codes of the transfer functions. Byte reads return 0 to 255 or one of the first two.
constexpr int XM_SUCCESS = 0;
constexpr int XM_STOPPED = 0x1000;       // the operator stopped, or a wait saw the stop request
constexpr int XM_DATA_ERROR = 0x1001;    // ten bad blocks or replies, or a block out of sequence
constexpr int XM_TIMEOUT = 0x1002;       // ten time-outs or bad headers
constexpr int XM_REMOTE_CANCEL = 0x1003; // the other side cancelled with two CAN
// A control byte or packet could not be written to the port; the failure's description has
// been shown already. Any code outside 0 and 0x1000 to 0x1003 means such a failure.
constexpr int XM_SEND_FAILED = 0x1100;

// Time-outs in milliseconds.
constexpr int kBlockByteTimeoutMs = 10000;    // first byte of a block or control byte, header, body
constexpr int kStartRequestTimeoutMs = 60000; // sender waiting for "C" or NAK
constexpr int kCancelPauseMs = 1000;          // pause before the ten CAN of a cancel

constexpr int kMaxErrors = 10;          // bad blocks, headers and time-outs since the last reset
constexpr int kCrcStartAttempts = 3;    // "C" requests before the receiver falls back to checksum
constexpr int kMaxStrayStartBytes = 10; // unexpected bytes a sender accepts before the start
constexpr int kCancelBytes = 10;        // CAN bytes of one cancel

} // namespace kel::serial
