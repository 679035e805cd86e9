// kelctl backup, restore and verify: the whole sensor (eight banks and the system data) as one
// set in a folder with its manifest. A restore refuses a set that changed before it sends
// anything, and proves what arrived by reading every block back.

#include "Arguments.h"
#include "Commands.h"
#include "ExitStatus.h"
#include "FleetBackup.h"
#include "Session.h"

#include "core/AppCore.h"
#include "core/MessageNumbers.h"
#include "core/VersionText.h"
#include "sensor/BackupSet.h"
#include "sensor/BackupSetWriter.h"
#include "sensor/ImageInfoQuery.h"
#include "sensor/SetTransfers.h"

#include <QDir>
#include <cstdio>

namespace kelctl {

namespace {

using kel::sensor::SetBlock;

const char* const kBackupUsage =
    "usage: kelctl backup DIR\n"
    "       kelctl --sensors FILE backup [--json] DIR\n\n"
    "Backs up banks 1 to 8 and the system data into DIR (BANK1.BNK to BANK8.BNK, SYSTEM.STD)\n"
    "with MANIFEST.TXT, which gives the date, the program, the device, the image information\n"
    "and each file's size and SHA-256, and says whether the set is complete. A set that stops\n"
    "short is marked incomplete; a complete set already in DIR is then kept, and the new\n"
    "files are left in DIR/INCOMPLETE.\n\n"
    "With --sensors, every sensor of FILE (lines \"NAME DEVICE\"; # starts a comment) is backed\n"
    "up at the same time into DIR/NAME, and a summary is printed (--json: as JSON). The exit\n"
    "status is the worst of them.\n";

const char* const kRestoreUsage =
    "usage: kelctl restore DIR\n\n"
    "Checks every file of the set in DIR against its manifest, and sends nothing when one is\n"
    "missing or changed. Then sends the nine blocks, reads each back and reports for each\n"
    "whether it is the same as its file, different, or failed.\n";

const char* const kVerifyUsage =
    "usage: kelctl verify DIR\n\n"
    "Checks the set in DIR against its manifest, then reads every block from the sensor and\n"
    "reports whether it is the same as its file, different, or failed. Sends nothing.\n";

QString blockLabel(const Session& session, const SetBlock& block, int bankText, int systemText)
{
    return block.bank > 0 ? session.text(bankText).arg(block.bank) : session.text(systemText);
}

QString lineDevice(const kel::serial::LineConfig& line)
{
    return line.device.isEmpty() ? QStringLiteral("COM%1").arg(line.port) : line.device;
}

// The image information as the sensor gave it, or nothing with *status.
std::optional<QString> imageInformation(Session& session, int* status)
{
    const kel::ImageInfoReplies info = kel::QueryImageInfo(session.link());
    if (info.complete)
        return info.replies.join(QLatin1Char(' '));
    *status =
        Session::statusOf(info.outcome, info.replies.isEmpty() ? QString() : info.replies.last());
    if (*status == ExitOk)
        *status = ExitUnexpectedReply;
    return std::nullopt;
}

// The set in folder, when it can be used; otherwise every reason is printed.
bool setUsable(Session& session, const QString& folder)
{
    const QList<kel::sensor::SetProblem> problems = kel::sensor::checkSet(folder);
    for (const kel::sensor::SetProblem& problem : problems) {
        switch (problem.kind) {
        case kel::sensor::SetProblem::ManifestUnusable:
        case kel::sensor::SetProblem::Unreadable:
            printError(problem.detail);
            break;
        case kel::sensor::SetProblem::Incomplete:
            printError(session.text(kel::KelctlSetNotComplete).arg(problem.path));
            break;
        case kel::sensor::SetProblem::NotListed:
            printError(session.text(kel::KelctlSetFileNotListed).arg(problem.path));
            break;
        case kel::sensor::SetProblem::Missing:
            printError(session.text(kel::KelctlSetFileMissing).arg(problem.path));
            break;
        case kel::sensor::SetProblem::Changed:
            printError(session.text(kel::KelctlSetFileChanged).arg(problem.path));
            break;
        }
    }
    if (!problems.isEmpty())
        printError(session.text(kel::KelctlSetNotUsed));
    return problems.isEmpty();
}

void reportBlock(const Session& session, const SetBlock& block, int word)
{
    std::printf("%-11s %s\n", block.fileName.toLocal8Bit().constData(),
                session.text(word).toLocal8Bit().constData());
    std::fflush(stdout);
}

// One block's transfer, its status folded into *status.
kel::sensor::BlockTransfer blockTransfer(Session& session, QString SetBlock::*command, int bankText,
                                         int systemText, Direction direction, int* status)
{
    return [&session, command, bankText, systemText, direction, status](const SetBlock& block,
                                                                        const QString& path) {
        const int transferred = session.transfer(
            block.*command, blockLabel(session, block, bankText, systemText), path, direction);
        *status = worseStatus(*status, transferred);
        return transferred == ExitOk        ? kel::sensor::BlockEnd::Done
               : transferred == ExitStopped ? kel::sensor::BlockEnd::Stopped
                                            : kel::sensor::BlockEnd::Failed;
    };
}

// Reads every block from the sensor and compares it with its file in folder.
int compareBlocks(Session& session, const QString& folder)
{
    int status = ExitOk;
    QString error;
    const bool compared = kel::sensor::compareSet(
        folder,
        blockTransfer(session, &SetBlock::saveCommand, kel::KelctlSetBankReadBack,
                      kel::KelctlSetSystemReadBack, Direction::Receive, &status),
        [&](const SetBlock& block, kel::sensor::BlockComparison comparison) {
            using kel::sensor::BlockComparison;
            reportBlock(session, block,
                        comparison == BlockComparison::Same        ? kel::KelctlBlockSame
                        : comparison == BlockComparison::Different ? kel::KelctlBlockDifferent
                                                                   : kel::KelctlBlockFailed);
            if (comparison == BlockComparison::Different)
                status = worseStatus(status, ExitBlockDifferent);
        },
        &error);
    if (!compared) {
        printError(error);
        return ExitFileError;
    }
    return status;
}

int backupSet(Session& session, const QString& folder)
{
    int status = ExitOk;
    const std::optional<QString> image = imageInformation(session, &status);
    if (!image)
        return status;
    kel::sensor::BackupSetWriter writer(folder);
    if (!writer.begin()) {
        printError(writer.error());
        return ExitFileError;
    }
    QString fileError;
    kel::sensor::receiveSet(writer,
                            blockTransfer(session, &SetBlock::saveCommand, kel::KelctlSetBankBackup,
                                          kel::KelctlSetSystemBackup, Direction::Receive, &status),
                            &fileError);
    if (!fileError.isEmpty()) {
        printError(fileError);
        status = worseStatus(status, ExitFileError);
    }
    const kel::sensor::Manifest header =
        kel::sensor::setHeader(kel::versionLine(QStringLiteral("kelctl"), kel::programVersion()),
                               lineDevice(session.link().line), *image);
    if (!writer.finish(header)) {
        printError(writer.error());
        return worseStatus(status, ExitFileError);
    }
    for (const QString& file : writer.files())
        listWritten(file);
    listWritten(QDir(writer.setFolder()).filePath(kel::sensor::kManifestName));
    if (!writer.complete())
        printError(QStringLiteral("%1: %2 (%3/%4)")
                       .arg(QDir::toNativeSeparators(writer.setFolder()),
                            session.text(kel::KelctlSetIncomplete))
                       .arg(writer.receivedCount())
                       .arg(kel::sensor::kSetBlockCount));
    return status;
}

int restoreSet(Session& session, const QString& folder)
{
    int status = ExitOk;
    std::optional<SetBlock> failed;
    const kel::sensor::BlockEnd sent = kel::sensor::sendSet(
        folder,
        blockTransfer(session, &SetBlock::loadCommand, kel::KelctlSetBankRestore,
                      kel::KelctlSetSystemRestore, Direction::Send, &status),
        &failed);
    if (sent != kel::sensor::BlockEnd::Done) {
        reportBlock(session, *failed, kel::KelctlBlockFailed);
        return status;
    }
    return compareBlocks(session, folder);
}

// The folder argument of a set command, or nothing when the words do not fit.
std::optional<QString> folderArgument(const QStringList& args, const char* usage, int& status,
                                      bool* json = nullptr)
{
    OptionSpec accepted{{}, {}, 1, "one folder is needed"};
    if (json)
        accepted.flags << QStringLiteral("--json");
    const Arguments parsed = parseArguments(args, accepted);
    if (!shouldRun(parsed, usage, status))
        return std::nullopt;
    if (json)
        *json = parsed.has(QStringLiteral("--json"));
    return parsed.positional.first();
}

} // namespace

int runBackup(Context& context, const QStringList& args)
{
    int status = ExitOk;
    bool json = false;
    const std::optional<QString> folder = folderArgument(args, kBackupUsage, status, &json);
    if (!folder)
        return status;
    if (!context.sensorsFile.isEmpty())
        return runFleetBackup(context, *folder, json);
    if (json) {
        printError(QStringLiteral("--json needs --sensors"));
        return ExitUsage;
    }
    Session session(context);
    return backupSet(session, *folder);
}

int runRestore(Context& context, const QStringList& args)
{
    int status = ExitOk;
    const std::optional<QString> folder = folderArgument(args, kRestoreUsage, status);
    if (!folder)
        return status;
    Session session(context);
    if (!setUsable(session, *folder))
        return ExitSetRefused;
    return restoreSet(session, *folder);
}

int runVerify(Context& context, const QStringList& args)
{
    int status = ExitOk;
    const std::optional<QString> folder = folderArgument(args, kVerifyUsage, status);
    if (!folder)
        return status;
    Session session(context);
    if (!setUsable(session, *folder))
        return ExitSetRefused;
    return compareBlocks(session, *folder);
}

} // namespace kelctl
