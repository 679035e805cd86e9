// Bank and system data: backed up into files the operator chooses and restored from them.
// The files hold exactly what the sensor sent and are sent back unchanged.

#include "core/AppCore.h"
#include "core/CommonDialog.h"
#include "sensor/BackupFile.h"
#include "sensor/SensorProtocol.h"
#include "sensor/frmWait.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProgressBar>
#include <QRegularExpression>
#include <exception>

namespace kel {

namespace {

constexpr int kSaveFlags = cdlOFNOverwritePrompt | cdlOFNPathMustExist;

} // namespace

struct BackupKind {
    int description; // label number of the file kind
    QString pattern; // used as written, its leading blank included
    QString (AppPaths::*folder)() const;
    int restoreQuestion; // asked, naming the file, before a restore replaces the sensor's data
    bool namesBank;      // the question also names the bank the file replaces
};

namespace {

const BackupKind kBankFiles{LabelBankFiles, QStringLiteral(" *.BNK"), &AppPaths::bankDir,
                            QuestionBankRestore, true};
const BackupKind kSystemFiles{LabelSystemFiles, QStringLiteral(" *.STD"), &AppPaths::systemDir,
                              QuestionSystemRestore, false};

// The bank a restore replaces, as far as the program can tell: "BANKLOAD" carries no number and
// the sensor takes it from the file, whose contents are the sensor's own. The names the backups
// of the whole sensor and of every bank give (BANK1.BNK to BANK8.BNK) tell the number.
QString restoredBank(const AppCore& core, const QString& file)
{
    static const QRegularExpression named(QStringLiteral("^BANK([1-8])\\.BNK$"),
                                          QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = named.match(QFileInfo(file).fileName());
    if (match.hasMatch())
        return core.GetMessageText(kSectionLabel, LabelRestoreBankNamed).arg(match.captured(1));
    return core.GetMessageText(kSectionLabel, LabelRestoreBankOfFile);
}

} // namespace

bool frmWait::backup(const BackupKind& kind, const QString& command)
{
    bool result = false;
    try {
        m_dialog.CancelError = true;
        m_dialog.Filter = m_core.GetMessageText(kSectionLabel, LabelAllFiles) +
                          QStringLiteral("|*.*|") +
                          m_core.GetMessageText(kSectionLabel, kind.description) +
                          QLatin1Char('|') + kind.pattern;
        m_dialog.FilterIndex = 2;
        m_dialog.Flags = kSaveFlags;
        m_dialog.InitDir = (m_core.paths().*kind.folder)();
        if (m_dialog.ShowSave() != 0)
            return finish(false);
        const QString chosen = m_dialog.FileName; // the dialog added the type's extension if none

        BackupFile target(chosen);
        ProgressBar1->setVisible(true);
        begin();
        if (target.receivePath().isEmpty()) {
            m_core.ShowFailure(target.error());
        } else if (exchangeAndTransfer(command, target.receivePath(), sensor::Direction::Receive)) {
            result = target.commit();
            m_outcome.file = chosen; // the received data now lives under the chosen name
            if (!result)
                m_core.ShowFailure(target.error());
        }
    } catch (const std::exception& error) {
        // Nothing below is expected to throw; whatever did is the operator's to hear of.
        m_core.ShowFailure(QString::fromLocal8Bit(error.what()));
        result = false;
    }
    return finish(result);
}

bool frmWait::restore(const BackupKind& kind, const QString& command)
{
    bool result = false;
    try {
        ProgressBar1->setVisible(true);
        m_dialog.CancelError = true;
        m_dialog.Filter = m_core.GetMessageText(kSectionLabel, kind.description) +
                          QLatin1Char('|') + kind.pattern;
        m_dialog.FilterIndex = 2;
        m_dialog.InitDir = (m_core.paths().*kind.folder)();
        if (m_dialog.ShowOpen() != 0)
            return finish(false);
        const QString chosen = m_dialog.FileName;
        if (!QFile::exists(chosen)) {
            m_core.ShowMessageOrFailure(kSectionMessage, MsgWorkFileMissing);
            m_outcome.end = OperationEnd::Failed;
            return finish(false);
        }
        QStringList named{QDir::toNativeSeparators(chosen)};
        if (kind.namesBank)
            named << restoredBank(m_core, chosen);
        if (!m_core.Agrees(kind.restoreQuestion, named))
            return finish(false);
        begin();
        result = exchangeAndTransfer(command, chosen, sensor::Direction::Send);
    } catch (const std::exception& error) {
        // Nothing below is expected to throw; whatever did is the operator's to hear of.
        m_core.ShowFailure(QString::fromLocal8Bit(error.what()));
        result = false;
    }
    return finish(result);
}

bool frmWait::fncBankSave(qint16 bank)
{
    return backup(kBankFiles, sensor::bankSaveCommand(bank));
}

bool frmWait::fucBankLoad()
{
    return restore(kBankFiles, sensor::kBankLoad);
}

bool frmWait::fncSystemSave()
{
    return backup(kSystemFiles, sensor::kSystemSave);
}

bool frmWait::fncSystemLoad()
{
    return restore(kSystemFiles, sensor::kSystemLoad);
}

} // namespace kel
