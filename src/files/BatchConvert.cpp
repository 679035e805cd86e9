#include "files/BatchConvert.h"
#include "core/AppCore.h"
#include "core/FileCopy.h"
#include "files/BatchChoice.h"

#include <QDir>
#include <QFile>

namespace kel {

namespace {

QString batchFolder(const AppPaths& paths)
{
    return paths.tmpDir() + QStringLiteral("/batch");
}

} // namespace

BatchRun::BatchRun(const AppPaths& paths) : m_picture(batchFolder(paths))
{
    QDir().mkpath(m_picture.workDir());
}

BatchRun::~BatchRun()
{
    QDir(m_picture.workDir()).removeRecursively();
}

QString fncConvertBatchFile(AppCore& core, ImageDocument& picture, ImageKind kind,
                            const QString& source, const QString& boxTitle,
                            const std::function<void()>& beforeReport)
{
    const KelConversion converted = picture.openKel(core, source, kind, {{}, beforeReport});
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
