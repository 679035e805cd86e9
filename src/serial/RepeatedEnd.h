#pragma once
// The end of a receive that the sender did not hear. A sender whose ACK of its EOT was lost
// takes no command: it sends EOT again each time its answer time-out passes, up to ten times.
// The command sent next then gets no reply. The exchange acknowledges that EOT when it comes
// and sends its command once more; otherwise the line's bytes stay as they were.

#include "serial/SerialLink.h"

#include <QByteArray>

namespace kel::serial {

// Margin on the sender's answer time-out for its repeated EOT to reach us.
constexpr int kRepeatedEndMarginMs = 2000;
// Pause after that ACK, so that the sender is back at its commands when the command comes.
constexpr int kRepeatedEndSettleMs = 100;

// After a command sent at sentAtMs went unanswered, when a receive acknowledged its sender's
// end at receiveEndedAtMs: acknowledges the sender's repeated EOT, found in unanswered (what
// the reply wait received) or awaited until one answer time-out of the sender after sentAtMs.
// True when the EOT came and was acknowledged, so that the command can be sent again. False
// when the receive ended too long ago for its sender to be still repeating, when no EOT came,
// or at a stop request. Throws PortError when the port fails.
bool acknowledgeRepeatedEnd(SerialLink& link, quint32 receiveEndedAtMs, quint32 sentAtMs,
                            const QByteArray& unanswered);

} // namespace kel::serial
