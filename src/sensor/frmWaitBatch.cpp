// The convert-all run: every chosen sensor image file becomes a bitmap in the output folder,
// without questions, behind the progress window. The stop button is looked at between two
// files, so a stop lets the file in progress be written first.

#include "core/AppCore.h"
#include "core/WorkFolders.h"
#include "files/BatchChoice.h"
#include "files/CommonDialog.h"
#include "files/FileCopy.h"
#include "image/ConvertProcess.h"
#include "image/ImageFiles.h"
#include "sensor/frmWait.h"

#include <QFile>
#include <QLabel>

namespace kel {

namespace {

constexpr int kLabelCounter = 14;
constexpr int kStatusConverting = 15;
constexpr int kStyleCritical = 16;

// A count as the counter line writes it: a blank where a sign would go, then the digits.
QString signedNumber(qsizetype value)
{
    return QLatin1Char(' ') + QString::number(value);
}

} // namespace

bool frmWait::fncKelAutoConvert(ImageState& image, bool colour, const BatchChoice& batch)
{
    const QString tmpDir = m_core.paths().tmpDir();
    const QString tmpBin = tmpDir + QLatin1Char('/') + kTmpBin;
    const QString tmpBmp = tmpDir + QLatin1Char('/') + kTmpBmp;
    const ImageKind kind = colour ? ImageKind::Colour : ImageKind::Grey;
    const auto failed = [this] {
        m_dialog.FileName.clear();
        return finish(false);
    };

    begin();
    const QString counter = m_core.GetMessageText(kSectionLabel, kLabelCounter);
    setStatus(kStatusConverting);

    const qsizetype count = batch.strConvFilePath.size();
    for (qsizetype index = 0; index < count; ++index) {
        m_link.clock.yieldToEventLoop();
        if (m_link.blnStop)
            return finish(true);
        lblRead->setText(counter + QLatin1Char(' ') + signedNumber(index + 1) +
                         QStringLiteral(" / ") + signedNumber(count));
        repaint();

        const QString& source = batch.strConvFilePath[index];
        if (QFile::exists(tmpBin))
            QFile::remove(tmpBin);
        if (!fncReadFile_KEL(m_core, image, source))
            return failed();
        if (!fncMakeTmpBinFile(m_core, image, tmpBin))
            return failed();
        if (fncConvertProcess(m_core, image, kind, tmpDir, kTmpBin).isEmpty()) {
            m_core.ShowMessageOrFailure(kSectionMessage, MsgConversionFailed);
            return failed();
        }
        if (!QFile::exists(tmpBmp)) {
            m_core.ShowMessageOrFailure(kSectionMessage, MsgWorkFileMissing);
            m_core.prompter().messageBox(kFileMissingText, kStyleCritical,
                                         m_mainWindow->windowTitle());
            return failed();
        }
        QString failure;
        const QString target =
            bitmapPathFor(batch.strSaveDir, batch.strConvFileName[index], source);
        if (!replaceWithCopy(tmpBmp, target, &failure)) {
            m_core.ShowFailure(failure);
            return failed();
        }
    }
    finish(true);
    m_core.ShowMessageOrFailure(kSectionMessage, MsgCompleted);
    return true;
}

} // namespace kel
