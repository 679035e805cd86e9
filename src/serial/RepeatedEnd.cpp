#include "serial/RepeatedEnd.h"
#include "serial/XmodemProtocol.h"

#include <algorithm>

namespace kel::serial {

namespace {

constexpr char kEot = static_cast<char>(EOT);

// Waits until an EOT arrives or waitMs have passed since sentAtMs.
bool awaitEot(SerialLink& link, quint32 sentAtMs, quint32 waitMs)
{
    BytePort& port = link.MSComm1;
    for (;;) {
        if (link.blnStop)
            return false;
        if (port.readAll().contains(kEot))
            return true;
        const quint32 elapsed = elapsedSince(link.clock, sentAtMs);
        if (elapsed >= waitMs)
            return false;
        port.waitForMoreInput(static_cast<int>(std::min<quint32>(waitMs - elapsed, kWaitSliceMs)));
    }
}

} // namespace

bool acknowledgeRepeatedEnd(SerialLink& link, quint32 receiveEndedAtMs, quint32 sentAtMs,
                            const QByteArray& unanswered)
{
    // The sender gives up after ten unanswered EOT.
    constexpr quint32 kSenderRepeatsMs = quint32(kMaxErrors) * kBlockByteTimeoutMs;
    if (elapsedSince(link.clock, receiveEndedAtMs) > kSenderRepeatsMs + kRepeatedEndMarginMs)
        return false;
    if (!unanswered.contains(kEot) &&
        !awaitEot(link, sentAtMs, quint32(kBlockByteTimeoutMs + kRepeatedEndMarginMs)))
        return false;
    BytePort& port = link.MSComm1;
    port.discardInput();
    port.write(QByteArray(1, static_cast<char>(ACK)));
    const quint32 acknowledgedAt = link.clock.milliseconds();
    while (elapsedSince(link.clock, acknowledgedAt) < quint32(kRepeatedEndSettleMs))
        link.clock.sleep(kWaitSliceMs);
    return true;
}

} // namespace kel::serial
