// Main window handlers of the whole sensor at once: a backup of the nine blocks into one folder
// with its manifest, and a restore from such a folder that refuses a set that changed and
// proves what arrived by reading every block back.

#include "app/frmMain.h"
#include "core/AppCore.h"
#include "core/StatusWords.h"
#include "core/VersionText.h"
#include "sensor/BackupSet.h"
#include "sensor/BackupSetWriter.h"
#include "sensor/SetTransfers.h"
#include "sensor/frmWait.h"
#include "serial/DeviceNames.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

namespace kel {

namespace {

QString label(const AppCore& core, int number)
{
    return core.GetMessageText(kSectionLabel, number);
}

// Why the set cannot be restored, one line a file, in the box that says so.
void showSetProblems(AppCore& core, const QList<sensor::SetProblem>& problems)
{
    QStringList lines;
    bool vouched = true; // the manifest lists every block as complete
    for (const sensor::SetProblem& problem : problems) {
        switch (problem.kind) {
        case sensor::SetProblem::ManifestUnusable:
            vouched = false;
            lines << problem.detail;
            break;
        case sensor::SetProblem::Incomplete:
        case sensor::SetProblem::NotListed:
            vouched = false;
            lines << problem.path;
            break;
        case sensor::SetProblem::Missing:
            lines << label(core, LabelSetFileMissing).arg(problem.path);
            break;
        case sensor::SetProblem::Changed:
            lines << label(core, LabelSetFileChanged).arg(problem.path);
            break;
        case sensor::SetProblem::Unreadable:
            lines << problem.detail;
            break;
        }
    }
    QString failure;
    if (!core.ShowMessage(kSectionMessage, vouched ? MsgSetFilesChanged : MsgSetNotVouched,
                          &failure, lines.join(QStringLiteral("\r\n"))))
        core.ShowFailure(failure);
}

QString deviceOf(const serial::LineConfig& line)
{
    const QString device = serial::deviceForPort(line.port, line.device);
    return device.isEmpty() ? QString::number(line.port) : device;
}

// When a set was made, in the operator's local time; the manifest's text when it is no date.
QString shownSetDate(const QString& date)
{
    const QDateTime made = QDateTime::fromString(date, Qt::ISODate);
    return made.isValid() ? made.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
                          : date;
}

bool holdsCompleteSet(const QString& folder)
{
    QString ignored;
    const std::optional<sensor::Manifest> manifest = sensor::readManifest(folder, &ignored);
    return manifest && manifest->complete;
}

} // namespace

QString frmMain::chooseSetFolder()
{
    m_setDialog.CancelError = true;
    if (m_setDialog.FileName.isEmpty())
        m_setDialog.InitDir = m_core.paths().appDir;
    else
        m_setDialog.InitDir = QFileInfo(m_setDialog.FileName).path(); // beside the last set
    return m_setDialog.ShowFolder() == 0 ? m_setDialog.FileName : QString();
}

void frmMain::mnuWholeSave_Click()
{
    const QString folder = chooseSetFolder();
    if (folder.isEmpty())
        return;
    if (holdsCompleteSet(folder) &&
        m_core.AskQuestion(QuestionSetReplace, {QDir::toNativeSeparators(folder)}) != AnswerYes)
        return;

    // The manifest records the sensor's image information; the line has told why when it
    // could not be had.
    const ImageInfoReplies info = askImageInfo()(kImageInfoCount, {});
    if (!info.complete) {
        showFailed(StatusNameSetBackup);
        return;
    }
    sensor::BackupSetWriter writer(folder);
    if (!writer.begin()) {
        m_core.ShowFailure(writer.error());
        showFailed(StatusNameSetBackup);
        return;
    }
    frmWait wait(m_core, line(), this, cdlFileOpen);
    wait.backupWholeSensor(writer);
    const sensor::Manifest header =
        sensor::setHeader(versionLine(QStringLiteral("keltool"), programVersion()),
                          deviceOf(m_line.line()), info.replies.join(QLatin1Char(' ')));
    if (!writer.finish(header)) {
        m_core.ShowFailure(writer.error());
        showFailed(StatusNameSetBackup);
    } else if (writer.complete()) {
        showTransferResult(TransferOperation::SetBackup, wait.outcome());
        reportCompletion(true);
    } else if (writer.receivedCount() > 0) {
        m_status->showResult(statusText(m_core, StatusSetIncomplete,
                                        {QString::number(writer.receivedCount()),
                                         shownPath(m_core.paths(), writer.setFolder())}));
    } else {
        showTransferResult(TransferOperation::SetBackup, wait.outcome());
    }
}

void frmMain::mnuWholeLoad_Click()
{
    const QString folder = chooseSetFolder();
    if (folder.isEmpty())
        return;
    const QString shown = shownPath(m_core.paths(), folder);
    sensor::Manifest manifest;
    const QList<sensor::SetProblem> problems = sensor::checkSet(folder, &manifest);
    if (!problems.isEmpty()) {
        showSetProblems(m_core, problems);
        m_status->showResult(statusText(m_core, StatusSetRefused, {shown}));
        return;
    }
    if (m_core.AskQuestion(QuestionSetRestore,
                           {QDir::toNativeSeparators(folder), deviceOf(line().line()),
                            shownSetDate(manifest.date), manifest.device}) != AnswerYes)
        return;

    QStringList report;
    int notSame = 0;
    frmWait wait(m_core, line(), this, cdlFileOpen);
    wait.restoreWholeSensor(folder, [&](const sensor::SetBlock& block,
                                        sensor::BlockComparison comparison) {
        const int word = comparison == sensor::BlockComparison::Same        ? LabelBlockSame
                         : comparison == sensor::BlockComparison::Different ? LabelBlockDifferent
                                                                            : LabelBlockFailed;
        report << QStringLiteral("%1: %2").arg(block.fileName, label(m_core, word));
        if (comparison != sensor::BlockComparison::Same)
            ++notSame;
    });
    const OperationOutcome& outcome = wait.outcome();
    // The comparison is told when every block was sent and read back to the end; a failed
    // send was told by the line, a stop ends quietly.
    if (report.size() != sensor::kSetBlockCount || outcome.end == OperationEnd::Stopped) {
        showTransferResult(TransferOperation::SetRestore, outcome);
        return;
    }
    if (notSame == 0)
        showTransferResult(TransferOperation::SetRestore, outcome);
    else
        m_status->showResult(
            statusText(m_core, StatusSetNotSame, {shown, QString::number(notSame)}));
    QString failure;
    if (!m_core.ShowMessage(kSectionMessage,
                            notSame == 0 ? MsgSetRestoredSame : MsgSetRestoredNotSame, &failure,
                            report.join(QStringLiteral("\r\n"))))
        m_core.ShowFailure(failure);
}

} // namespace kel
