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

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
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

bool sameBytes(const QString& a, const QString& b)
{
    QFile first(a);
    QFile second(b);
    if (!first.open(QIODevice::ReadOnly) || !second.open(QIODevice::ReadOnly) ||
        first.size() != second.size())
        return false;
    constexpr qint64 kChunk = 64 * 1024;
    while (!first.atEnd()) {
        if (first.read(kChunk) != second.read(kChunk))
            return false;
    }
    return true;
}

void reportBlock(const Session& session, const SetBlock& block, int word)
{
    std::printf("%-11s %s\n", block.fileName.toLocal8Bit().constData(),
                session.text(word).toLocal8Bit().constData());
    std::fflush(stdout);
}

// Reads every block from the sensor and compares it with its file in folder.
int compareBlocks(Session& session, const QString& folder)
{
    QTemporaryDir readBack;
    if (!readBack.isValid()) {
        printError(readBack.errorString());
        return ExitFileError;
    }
    int status = ExitOk;
    for (const SetBlock& block : kel::sensor::setBlocks()) {
        const QString path = readBack.filePath(block.fileName);
        const int read = session.transfer(
            block.saveCommand,
            blockLabel(session, block, kel::KelctlSetBankReadBack, kel::KelctlSetSystemReadBack),
            path, Direction::Receive);
        if (read != ExitOk) {
            reportBlock(session, block, kel::KelctlBlockFailed);
            status = worseStatus(status, read);
            if (read == ExitStopped)
                break;
            continue;
        }
        const bool same = sameBytes(QDir(folder).filePath(block.fileName), path);
        reportBlock(session, block, same ? kel::KelctlBlockSame : kel::KelctlBlockDifferent);
        if (!same)
            status = worseStatus(status, ExitBlockDifferent);
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
    for (const SetBlock& block : kel::sensor::setBlocks()) {
        status = session.transfer(
            block.saveCommand,
            blockLabel(session, block, kel::KelctlSetBankBackup, kel::KelctlSetSystemBackup),
            writer.receivePath(block), Direction::Receive);
        if (status == ExitOk && !writer.received(block)) {
            printError(writer.error());
            status = ExitFileError;
        }
        if (status != ExitOk) {
            writer.failed(block);
            break;
        }
    }
    kel::sensor::Manifest header;
    header.date = QDateTime::currentDateTimeUtc().toString(Qt::ISODate);
    header.program = kel::versionLine(QStringLiteral("kelctl"), kel::programVersion());
    header.device = lineDevice(session.link().line);
    header.image = *image;
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
    for (const SetBlock& block : kel::sensor::setBlocks()) {
        const int status = session.transfer(
            block.loadCommand,
            blockLabel(session, block, kel::KelctlSetBankRestore, kel::KelctlSetSystemRestore),
            QDir(folder).filePath(block.fileName), Direction::Send);
        if (status != ExitOk) {
            // What is on the sensor now is unknown; sending more would only mix the sets.
            reportBlock(session, block, kel::KelctlBlockFailed);
            return status;
        }
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
