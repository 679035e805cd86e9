#pragma once
// The order of a whole-sensor backup, restore and read-back, whoever runs the transfers: the
// window in its progress window, kelctl on its terminal. Each block's transfer is the caller's
// (it tells the operator of its failures); these decide what is transferred next, what is kept
// and how a block read back compares with its file.

#include "sensor/BackupSet.h"
#include "sensor/BackupSetWriter.h"

#include <QString>
#include <functional>
#include <optional>

namespace kel::sensor {

enum class BlockEnd { Done, Failed, Stopped };

// One block's transfer between the sensor and the file at path, as the caller runs it.
using BlockTransfer = std::function<BlockEnd(const SetBlock& block, const QString& path)>;

enum class BlockComparison { Same, Different, Failed };
using ComparisonReport = std::function<void(const SetBlock& block, BlockComparison comparison)>;

// The manifest's header for a set made now: the date in UTC, what made it, from which device,
// and the image information as the sensor gave it.
Manifest setHeader(const QString& program, const QString& device, const QString& image);

// Receives the nine blocks into writer in order and stops at the first that does not arrive
// whole, dropping what it left. *fileError says why when a block arrived but its file could not
// be read; any other failure the transfer told. Done when all nine arrived.
BlockEnd receiveSet(BackupSetWriter& writer, const BlockTransfer& receive, QString* fileError);

// Sends the nine blocks of the set in folder in order. At the first that is not taken whole
// nothing more is sent: what the sensor holds is unknown then, and sending more would only mix
// two sets. *failed receives that block.
BlockEnd sendSet(const QString& folder, const BlockTransfer& send,
                 std::optional<SetBlock>* failed = nullptr);

// Reads every block back and compares it byte for byte with its file in folder, telling report
// of each as it is known. A failed read goes on to the next block, a stop ends the reading.
// False, with *error, when there is nowhere to put what is read back.
bool compareSet(const QString& folder, const BlockTransfer& receive, const ComparisonReport& report,
                QString* error);

} // namespace kel::sensor
