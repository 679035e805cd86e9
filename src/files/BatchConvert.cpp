#include "files/BatchConvert.h"
#include "core/AppCore.h"
#include "files/BatchChoice.h"
#include "files/FileCopy.h"

#include <QFile>

namespace kel {

QString fncConvertBatchFile(AppCore& core, ImageState& image, ImageKind kind, const QString& source,
                            const QString& boxTitle, const std::function<void()>& beforeReport)
{
    const KelConversion converted =
        fncConvertKelFile(core, image, source, kind, {{}, beforeReport});
    if (!converted)
        return {};
    if (!QFile::exists(converted.bitmap)) {
        if (beforeReport)
            beforeReport();
        core.ShowMessageOrFailure(kSectionMessage, MsgWorkFileMissing);
        core.prompter().messageBox(kFileMissingText, kStyleCriticalOk, boxTitle);
        return {};
    }
    return converted.bitmap;
}

bool fncStoreBitmap(AppCore& core, const QString& bitmap, const QString& target,
                    const QString& source)
{
    QString failure;
    if (replaceWithCopy(bitmap, avoidingSource(target, source), &failure))
        return true;
    core.ShowFailure(failure);
    return false;
}

} // namespace kel
