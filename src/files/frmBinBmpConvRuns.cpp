// The two runs of the batch dialog: one by one with a save dialog for each bitmap, or all into
// one folder behind the progress window.

#include "core/AppCore.h"
#include "core/WorkFolders.h"
#include "files/BatchChoice.h"
#include "files/CommonDialog.h"
#include "files/FileCopy.h"
#include "files/frmBinBmpConv.h"
#include "files/frmDirSave.h"
#include "image/ConvertProcess.h"
#include "image/ImageFiles.h"
#include "sensor/frmWait.h"

#include <QApplication>
#include <QFile>

namespace kel {

namespace {

constexpr int kLabelAllFiles = 51;
constexpr int kSaveFlags = cdlOFNOverwritePrompt | cdlOFNPathMustExist;

// The hourglass over the whole screen while a file is converted; back to normal on every
// way out.
class WaitCursor {
public:
    ~WaitCursor() { reset(); }
    void set()
    {
        if (!m_on)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        m_on = true;
    }
    void reset()
    {
        if (m_on)
            QApplication::restoreOverrideCursor();
        m_on = false;
    }

private:
    bool m_on = false;
};

} // namespace

void frmBinBmpConv::showFixedMissingBox()
{
    constexpr int kStyleCritical = 16;
    m_context.core.prompter().messageBox(kFileMissingText, kStyleCritical,
                                         m_context.mainWindow->windowTitle());
}

bool frmBinBmpConv::fncEachConvert()
{
    AppCore& core = m_context.core;
    CommonDialog& dialog = m_context.dialog;
    const BatchChoice& choice = m_context.choice;
    const QString tmpDir = core.paths().tmpDir();
    const QString tmpBin = tmpDir + QLatin1Char('/') + kTmpBin;
    const QString tmpBmp = tmpDir + QLatin1Char('/') + kTmpBmp;

    WaitCursor cursor;
    for (qsizetype index = 0; index < choice.strConvFilePath.size(); ++index) {
        const QString& source = choice.strConvFilePath[index];
        cursor.set();
        if (QFile::exists(tmpBin))
            QFile::remove(tmpBin);
        // A step that fails has reported itself; the dialog closes and the rest is left.
        if (!fncReadFile_KEL(core, m_context.image, source))
            return true;
        if (!fncMakeTmpBinFile(core, m_context.image, tmpBin))
            return true;
        if (fncConvertProcess(core, m_context.image, m_context.kind, tmpDir, kTmpBin).isEmpty()) {
            cursor.reset();
            core.ShowMessageOrFailure(kSectionMessage, MsgConversionFailed);
            return true;
        }
        if (!QFile::exists(tmpBmp)) {
            cursor.reset();
            core.ShowMessageOrFailure(kSectionMessage, MsgWorkFileMissing);
            showFixedMissingBox();
            return true;
        }
        cursor.reset();

        dialog.CancelError = true;
        dialog.Filter =
            core.GetMessageText(kSectionLabel, kLabelAllFiles) + QStringLiteral("|*.*|*.bmp|*.bmp");
        dialog.FilterIndex = 2;
        dialog.Flags = kSaveFlags;
        dialog.InitDir = core.paths().imageDir();
        dialog.FileName = bitmapNameFor(choice.strConvFileName[index]);
        if (dialog.ShowSave() != 0)
            return false; // the bitmaps saved so far stay; the dialog stays open

        // Whatever was chosen, the source file itself is not overwritten with a bitmap.
        const QString target = avoidingSource(dialog.FileName, source);
        QString failure;
        if (!replaceWithCopy(tmpBmp, target, &failure)) {
            core.ShowFailure(failure);
            return false;
        }
    }
    core.ShowMessageOrFailure(kSectionMessage, MsgCompleted);
    return true;
}

bool frmBinBmpConv::fncAllConvert()
{
    BatchChoice& choice = m_context.choice;
    {
        frmDirSave picker(m_context.core, choice, this);
        picker.Form_Load();
        picker.exec();
    }
    if (!choice.blnDirSelected)
        return false;
    choice.blnDirSelected = false;
    hide();

    frmWait wait(m_context.core, m_context.link, m_context.mainWindow, m_context.dialog);
    if (wait.fncKelAutoConvert(m_context.image, m_context.kind == ImageKind::Colour, choice))
        m_context.dialog.FileName.clear();
    return true;
}

} // namespace kel
