// kelctl bank and kelctl system: the sensor's eight banks and its system data, backed up into
// files and restored from them, as the Bank and System menus do. A backup replaces its file
// only once the transfer succeeded.

#include "Arguments.h"
#include "Commands.h"
#include "ExitStatus.h"
#include "KelctlText.h"
#include "Session.h"

#include "core/AppCore.h"
#include "sensor/BackupFile.h"
#include "sensor/SensorProtocol.h"

#include <QDir>
#include <QFile>
#include <cstdio>

namespace kelctl {

namespace {

const char* const kBankUsage =
    "usage: kelctl bank save N FILE   back up bank N (1 to 8) into FILE\n"
    "       kelctl bank save all DIR  back up the eight banks into DIR/BANK1.BNK to BANK8.BNK,\n"
    "                                 stopping at the first that fails\n"
    "       kelctl bank load FILE     restore the bank a backup file holds\n\n"
    "A backup that fails or is stopped leaves the file it would replace as it was.\n";

const char* const kSystemUsage =
    "usage: kelctl system save FILE   back up the sensor's system data into FILE\n"
    "       kelctl system load FILE   restore the system data from FILE\n\n"
    "A backup that fails or is stopped leaves the file it would replace as it was.\n";

constexpr int kBankCount = 8;

// Backs up into file and lists it on stdout once it is complete.
int backup(Session& session, const QString& command, const QString& label, const QString& file)
{
    kel::BackupFile target(file);
    if (target.receivePath().isEmpty()) {
        session.core().ShowFailure(target.error());
        return ExitFileError;
    }
    const int status = session.transfer(command, label, target.receivePath(), Direction::Receive);
    if (status != ExitOk)
        return status;
    if (!target.commit()) {
        session.core().ShowFailure(target.error());
        return ExitFileError;
    }
    std::printf("%s\n", QDir::toNativeSeparators(file).toLocal8Bit().constData());
    std::fflush(stdout);
    return ExitOk;
}

int restore(Session& session, const QString& command, const QString& label, const QString& file)
{
    if (!QFile::exists(file)) {
        session.core().ShowMessageOrFailure(kel::kSectionMessage, kel::MsgWorkFileMissing);
        return ExitFileError;
    }
    return session.transfer(command, label, file, Direction::Send);
}

int saveAllBanks(Session& session, const QString& folder)
{
    if (!QDir().mkpath(folder)) {
        printError(kelctlText(session.core(), kel::KelctlCannotMakeFolder, {folder}));
        return ExitFileError;
    }
    for (int bank = 1; bank <= kBankCount; ++bank) {
        const QString file = QDir(folder).filePath(QStringLiteral("BANK%1.BNK").arg(bank));
        const int status = backup(session, kel::sensor::bankSaveCommand(bank),
                                  session.text(kel::KelctlBankBackup).arg(bank), file);
        if (status != ExitOk) {
            printError(bank == 1 ? kelctlText(session.core(), kel::KelctlFirstBankNotSaved)
                                 : kelctlText(session.core(), kel::KelctlBankNotSaved,
                                              {QString::number(bank), QString::number(bank - 1)}));
            return status;
        }
    }
    return ExitOk;
}

// "save"/"load" and the file of a bank or system command; false when the words do not fit.
bool verbAndFile(const QStringList& words, qsizetype fileIndex, QString& error)
{
    if (words.isEmpty() ||
        (words.first() != QLatin1String("save") && words.first() != QLatin1String("load"))) {
        error = QStringLiteral("save or load is needed");
        return false;
    }
    if (words.size() != fileIndex + 1) {
        error = QStringLiteral("wrong number of arguments");
        return false;
    }
    return true;
}

} // namespace

int runBank(Context& context, const QStringList& args)
{
    Arguments parsed = parseArguments(args, {});
    const QStringList& words = parsed.positional;
    const bool saving = !words.isEmpty() && words.first() == QLatin1String("save");
    if (parsed.error.isEmpty())
        verbAndFile(words, saving ? 2 : 1, parsed.error);
    int status = ExitOk;
    if (!shouldRun(parsed, kBankUsage, status))
        return status;
    if (!saving) {
        Session session(context);
        return restore(session, kel::sensor::kBankLoad, session.text(kel::KelctlBankRestore),
                       words[1]);
    }
    if (words[1] == QLatin1String("all")) {
        Session session(context);
        return saveAllBanks(session, words[2]);
    }
    const std::optional<int> bank = numberArgument(words[1], "the bank", 1, kBankCount);
    if (!bank) {
        std::fputs(kBankUsage, stderr);
        return ExitUsage;
    }
    Session session(context);
    return backup(session, kel::sensor::bankSaveCommand(*bank),
                  session.text(kel::KelctlBankBackup).arg(*bank), words[2]);
}

int runSystem(Context& context, const QStringList& args)
{
    Arguments parsed = parseArguments(args, {});
    if (parsed.error.isEmpty())
        verbAndFile(parsed.positional, 1, parsed.error);
    int status = ExitOk;
    if (!shouldRun(parsed, kSystemUsage, status))
        return status;
    Session session(context);
    const QString& file = parsed.positional[1];
    return parsed.positional.first() == QLatin1String("save")
               ? backup(session, kel::sensor::kSystemSave, session.text(kel::KelctlSystemBackup),
                        file)
               : restore(session, kel::sensor::kSystemLoad, session.text(kel::KelctlSystemRestore),
                         file);
}

} // namespace kelctl
