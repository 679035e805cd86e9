#pragma once
// The status line's words for the sensor operations: how a transfer ended, which reply the
// line waits for, and the port and line parameters the exchanges use.

#include "core/AppCore.h"
#include "sensor/OperationOutcome.h"
#include "serial/LineConfig.h"

#include <QString>

namespace kel {

enum class TransferOperation {
    Fetch,
    Upload,
    BankBackup,
    BankRestore,
    SystemBackup,
    SystemRestore,
    SetBackup, // the whole sensor; the outcome's file is the set's folder
    SetRestore,
};

// "Bank 3 backed up to BANK/bank3.BNK, 1,024 bytes, 0.4 s", "Image fetch stopped"...; "" for an
// operation that did not run (a cancelled file dialog). bank is used by the bank backup only.
QString transferStatus(const AppCore& core, TransferOperation operation,
                       const OperationOutcome& outcome, int bank = 0);

// "the backup of bank 3": what a command does, in words; a command without words of its own as
// "the command" and the command as sent.
QString commandWords(const AppCore& core, const QString& command);

// "Waiting for the sensor's reply to the backup of bank 3...": the command named in words.
QString waitingStatus(const AppCore& core, const QString& command);

// The device the exchanges open, the line parameters in the usual short form and the
// delimiter: "COM1 38400 8N1 CR", "/dev/ttyUSB0 19200 7E2 CR LF". Parameters the port would
// refuse are shown as the settings give them.
QString lineDescription(const serial::LineConfig& line);

} // namespace kel
