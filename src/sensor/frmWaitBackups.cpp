// Bank and system data: backed up into files the operator chooses and restored from them.
// The files hold exactly what the sensor sent and are sent back unchanged.

#include "core/AppCore.h"
#include "files/CommonDialog.h"
#include "sensor/BackupFile.h"
#include "sensor/frmWait.h"

#include <QFile>
#include <QProgressBar>

namespace kel {

namespace {

// File-dialog descriptions of section "Label".
constexpr int kLabelAllFiles = 51;
constexpr int kLabelSystemFiles = 53;
constexpr int kLabelBankFiles = 54;

constexpr int kSaveFlags = cdlOFNOverwritePrompt | cdlOFNPathMustExist;

} // namespace

struct BackupKind {
    int description; // label number of the file kind
    QString pattern; // used as written, its leading blank included
    QString (AppPaths::*folder)() const;
};

namespace {

const BackupKind kBankFiles{kLabelBankFiles, QStringLiteral(" *.BNK"), &AppPaths::bankDir};
const BackupKind kSystemFiles{kLabelSystemFiles, QStringLiteral(" *.STD"), &AppPaths::systemDir};

} // namespace

bool frmWait::backup(const BackupKind& kind, const QString& command)
{
    bool result = false;
    try {
        m_dialog.CancelError = true;
        m_dialog.Filter = m_core.GetMessageText(kSectionLabel, kLabelAllFiles) +
                          QStringLiteral("|*.*|") +
                          m_core.GetMessageText(kSectionLabel, kind.description) +
                          QLatin1Char('|') + kind.pattern;
        m_dialog.FilterIndex = 2;
        m_dialog.Flags = kSaveFlags;
        m_dialog.InitDir = (m_core.paths().*kind.folder)();
        if (m_dialog.ShowSave() != 0)
            return finish(false);
        const QString chosen = m_dialog.FileName; // used as typed: no extension is added

        BackupFile target(chosen);
        begin();
        if (target.receivePath().isEmpty()) {
            m_core.ShowFailure(target.error());
        } else if (exchangeAndTransfer(command, target.receivePath(), Direction::Receive)) {
            result = target.commit();
            if (!result)
                m_core.ShowFailure(target.error());
        }
    } catch (...) {
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
            return finish(false);
        }
        begin();
        result = exchangeAndTransfer(command, chosen, Direction::Send);
    } catch (...) {
        result = false;
    }
    return finish(result);
}

bool frmWait::fncBankSave(qint16 bank)
{
    return backup(kBankFiles, QStringLiteral("BANKSAVE %1").arg(bank));
}

bool frmWait::fucBankLoad()
{
    return restore(kBankFiles, QStringLiteral("BANKLOAD"));
}

bool frmWait::fncSystemSave()
{
    return backup(kSystemFiles, QStringLiteral("SYSSAVE"));
}

bool frmWait::fncSystemLoad()
{
    return restore(kSystemFiles, QStringLiteral("SYSLOAD"));
}

} // namespace kel
