#include "image/ConvertProcess.h"
#include "image/BitmapFile.h"
#include "image/Gains.h"
#include "image/ImageFiles.h"
#include "image/PictureConversion.h"

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

} // namespace kel
