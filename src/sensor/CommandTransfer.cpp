#include "sensor/CommandTransfer.h"
#include "sensor/SensorProtocol.h"

namespace kel::sensor {

CommandTransferOutcome CommandThenTransfer(serial::SerialLink& link, const QString& command,
                                           const QString& path, Direction direction,
                                           const CommandTransferSteps& steps)
{
    CommandTransferOutcome outcome;
    if (steps.beforeCommand)
        steps.beforeCommand();
    outcome.reply = serial::SendCommand(link, command, &outcome.command);
    if (outcome.reply != kReplyOk)
        return outcome;
    if (steps.beforeTransfer)
        steps.beforeTransfer();
    outcome.transfer = direction == Direction::Receive
                           ? serial::ReceiveFile(link, path, steps.expectedBytes)
                           : serial::SendFile(link, path);
    return outcome;
}

} // namespace kel::sensor
