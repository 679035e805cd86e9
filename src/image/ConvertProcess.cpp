#include "image/ConvertProcess.h"
#include "image/BitmapFile.h"
#include "image/Gains.h"
#include "image/ImageFiles.h"
#include "image/PictureConversion.h"

#include "core/WorkFolders.h"

#include <QFile>
#include <QFileInfo>

namespace kel {

QString fncConvertProcess(AppCore& core, ImageState& state, ImageKind kind, const QString& folder,
                          const QString& fileName)
{
    const QString path = folder + QLatin1Char('/') + fileName;
    if (!QFileInfo(path).isFile()) {
        core.ShowMessageOrFailure(kSectionMessage, MsgWorkFileMissing);
        return {};
    }
    if (!fncReadTmpBinFile(state, path))
        return {};
    if (!fncApplyGains(state))
        return {};
    return fncSelectConversion(core.paths(), state, kind);
}

QString fncSelectConversion(const AppPaths& paths, ImageState& state, ImageKind kind)
{
    if (kind == ImageKind::Colour)
        fncColorConvert(state);
    else
        fncMonoConvert(state);
    return fncWriteBmpFile(paths, state, kind);
}

KelConversion fncConvertKelFile(AppCore& core, ImageState& state, const QString& source,
                                ImageKind kind, const KelConversionSteps& steps)
{
    KelConversion result;
    const QString folder = core.paths().tmpDir();
    const QString tmpBin = folder + QLatin1Char('/') + kTmpBin;
    if (QFile::exists(tmpBin))
        QFile::remove(tmpBin);
    if (!fncReadFile_KEL(core, state, source) || !fncMakeTmpBinFile(core, state, tmpBin)) {
        result.failure = KelConversion::Failure::File;
        return result;
    }
    if (steps.beforeConversion)
        steps.beforeConversion();
    result.bitmap = fncConvertProcess(core, state, kind, folder, kTmpBin);
    if (result.bitmap.isEmpty()) {
        if (steps.beforeFailureBox)
            steps.beforeFailureBox();
        core.ShowMessageOrFailure(kSectionMessage, MsgConversionFailed);
        result.failure = KelConversion::Failure::Conversion;
    }
    return result;
}

} // namespace kel
