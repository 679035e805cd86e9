#pragma once
// The sensor taking a file by XMODEM after it answered "OK": it keeps asking for the first
// block until the PC starts (the PC opens its port only after the reply, and opening throws
// away what was waiting, so one request is not enough), takes 128-byte blocks with CRC-16 or
// 8-bit checksum, and believes the end when the PC repeats its EOT after a NAK.

#include "serial/SerialLink.h"
#include "serial/XmodemProtocol.h"

#include <QByteArray>

namespace kel::sim {

struct ReceiveOptions {
    bool checksumOnly = false; // ask with NAK (checksum blocks) instead of "C"
    int startIntervalMs = 500;
    int startWindowMs = 60000; // how long to keep asking before giving up
    int cancelAfterBlock = 0;  // cancel on the block after this many; 0: never
};

struct ReceiveResult {
    int code = serial::XM_TIMEOUT; // XM_SUCCESS, XM_TIMEOUT, XM_DATA_ERROR, XM_REMOTE_CANCEL,
                                   // XM_STOPPED (a stop or the cancel fault), XM_SEND_FAILED
    QByteArray data;               // the accepted blocks, filler included
    int blocks = 0;
};

// Works on the port held by link (link.xmPort); its line settings give the character time.
ReceiveResult receiveFile(serial::SerialLink& link, const ReceiveOptions& options);

} // namespace kel::sim
