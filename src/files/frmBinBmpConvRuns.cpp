// The two runs of the batch dialog: one by one with a save dialog for each bitmap, or all into
// one folder behind the progress window.

#include "core/AppCore.h"
#include "core/CommonDialog.h"
#include "files/BatchChoice.h"
#include "files/BatchConvert.h"
#include "files/frmBinBmpConv.h"
#include "files/frmDirSave.h"
#include "sensor/frmWait.h"

#include <QApplication>
#include <algorithm>

namespace kel {

namespace {

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

bool frmBinBmpConv::fncEachConvert()
{
    AppCore& core = m_context.core;
    CommonDialog& dialog = m_context.dialog;
    const BatchChoice& choice = m_context.choice;
    const QString boxTitle =
        m_context.boxTitle.isEmpty() ? m_context.mainWindow->windowTitle() : m_context.boxTitle;

    BatchRun run(core.paths());
    WaitCursor cursor;
    for (qsizetype index = 0; index < choice.strConvFilePath.size(); ++index) {
        const QString& source = choice.strConvFilePath[index];
        cursor.set();
        // A step that fails has reported itself; the dialog closes and the rest is left.
        const QString bitmap = fncConvertBatchFile(core, run.picture(), m_context.kind, source,
                                                   boxTitle, [&cursor] { cursor.reset(); });
        if (bitmap.isEmpty())
            return true;
        cursor.reset();

        dialog.CancelError = true;
        dialog.Filter =
            core.GetMessageText(kSectionLabel, LabelAllFiles) + QStringLiteral("|*.*|*.bmp|*.bmp");
        dialog.FilterIndex = 2;
        dialog.Flags = kSaveFlags;
        dialog.InitDir = core.paths().imageDir();
        dialog.FileName = bitmapNameFor(choice.strConvFileName[index]);
        if (dialog.ShowSave() != 0)
            return false; // the bitmaps saved so far stay; the dialog stays open

        // Whatever was chosen, the source file itself is not overwritten with a bitmap.
        if (!fncStoreBitmap(core, bitmap, dialog.FileName, source))
            return false;
        m_converted = std::max(m_converted, index + 1);
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

    const QString boxTitle =
        m_context.boxTitle.isEmpty() ? m_context.mainWindow->windowTitle() : m_context.boxTitle;
    BatchRun run(m_context.core.paths());
    frmWait wait(m_context.core, m_context.line, m_context.mainWindow, m_context.dialog);
    wait.fncKelAutoConvert(choice.strConvFilePath.size(), [&](qsizetype index) {
        const QString& source = choice.strConvFilePath[index];
        const QString bitmap =
            fncConvertBatchFile(m_context.core, run.picture(), m_context.kind, source, boxTitle);
        const bool stored =
            !bitmap.isEmpty() &&
            fncStoreBitmap(m_context.core, bitmap,
                           bitmapPathFor(choice.strSaveDir, choice.strConvFileName[index], source),
                           source);
        if (stored)
            m_converted = std::max(m_converted, index + 1);
        return stored;
    });
    m_context.dialog.FileName.clear();
    return true;
}

} // namespace kel
