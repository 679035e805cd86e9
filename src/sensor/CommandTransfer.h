#pragma once
// Every file transfer with the sensor: a command, and when the sensor answers "OK", the
// XMODEM transfer of one file in the direction the command asks for.

#include "serial/CommandExchange.h"
#include "serial/FileTransfer.h"

#include <QString>
#include <functional>
#include <optional>

namespace kel::sensor {

enum class Direction { Receive, Send };

struct CommandTransferOutcome {
    QString reply;                  // the sensor's reply, "" when none came
    serial::CommandOutcome command; // why no usable reply came
    // The transfer, when the reply was "OK"; nothing when the command ended the run.
    std::optional<serial::TransferOutcome> transfer;

    bool succeeded() const { return transfer && transfer->succeeded(); }
};

// What the caller shows between the steps; either may be empty.
struct CommandTransferSteps {
    std::function<void()> beforeCommand;
    std::function<void()> beforeTransfer;
    // The size a received file is known to reach (an image's size), -1 when it is not known.
    qint64 expectedBytes = -1;
};

// Sends command and, on "OK", receives into or sends the file at path. The line has told the
// operator of every failure but a reply other than "OK" and "ER", which the caller judges.
CommandTransferOutcome CommandThenTransfer(serial::SerialLink& link, const QString& command,
                                           const QString& path, Direction direction,
                                           const CommandTransferSteps& steps = {});

} // namespace kel::sensor
