#include "image/ConvertProcess.h"
#include "image/BitmapFile.h"
#include "image/Gains.h"
#include "image/ImageFiles.h"
#include "image/PictureConversion.h"

#include "core/WorkFolders.h"

#include <QFile>
#include <QFileInfo>

namespace kel {

QString fncConvertProcess(AppCore& core, ImageState& state, ImageKind kind, const QString& workDir,
                          const QString& fileName)
{
    const QString path = workDir + QLatin1Char('/') + fileName;
    if (!QFileInfo(path).isFile()) {
        core.ShowMessageOrFailure(kSectionMessage, MsgWorkFileMissing);
        return {};
    }
    if (!fncReadTmpBinFile(state, path))
        return {};
    if (!fncApplyGains(state))
        return {};
    return fncSelectConversion(workDir, state, kind);
}

QString fncSelectConversion(const QString& workDir, ImageState& state, ImageKind kind)
{
    if (kind == ImageKind::Colour)
        fncColorConvert(state);
    else
        fncMonoConvert(state);
    return fncWriteBmpFile(workDir, state, kind);
}

KelConversion fncConvertKelFile(AppCore& core, ImageState& state, const QString& workDir,
                                const QString& source, ImageKind kind,
                                const KelConversionSteps& steps)
{
    KelConversion result;
    const QString tmpBin = workDir + QLatin1Char('/') + kTmpBin;
    if (QFile::exists(tmpBin))
        QFile::remove(tmpBin);
    if (!fncReadFile_KEL(core, state, source) || !fncMakeTmpBinFile(core, state, tmpBin)) {
        result.failure = KelConversion::Failure::File;
        return result;
    }
    // The conversion reads the image back from the upload file, whose rows below the image are
    // zero: the two bytes after the pixels are not the file's trailer, which a save must keep.
    const std::array<quint8, kTrailerSize> trailer = state.CurrentImage.Trailer;
    if (steps.beforeConversion)
        steps.beforeConversion();
    result.bitmap = fncConvertProcess(core, state, kind, workDir, kTmpBin);
    state.CurrentImage.Trailer = trailer;
    if (result.bitmap.isEmpty()) {
        if (steps.beforeFailureBox)
            steps.beforeFailureBox();
        core.ShowMessageOrFailure(kSectionMessage, MsgConversionFailed);
        result.failure = KelConversion::Failure::Conversion;
    }
    return result;
}

} // namespace kel
