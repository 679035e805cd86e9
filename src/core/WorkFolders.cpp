#include "core/WorkFolders.h"

#include <QFile>
#include <filesystem>
#include <system_error>

namespace kel {

QStringList CreateWorkFolders(const AppPaths& paths)
{
    QStringList failures;
    for (const QString& dir :
         {paths.tmpDir(), paths.imageDir(), paths.systemDir(), paths.bankDir()}) {
        const std::filesystem::path path(dir.toStdU16String());
        std::error_code error;
        if (std::filesystem::is_directory(path, error))
            continue;
        if (!std::filesystem::create_directory(path, error) && error)
            failures << QStringLiteral("%1: %2").arg(dir, QString::fromLocal8Bit(error.message()));
        else if (!std::filesystem::is_directory(path, error)) // a file of that name is in the way
            failures << QStringLiteral("%1: %2").arg(dir, QStringLiteral("File already exists"));
    }
    return failures;
}

void DeleteTempFiles(const AppPaths& paths)
{
    for (const QString& name : {kTmpBin, kTmpUpload, kTmpBmp}) {
        const QString file = paths.tmpDir() + QLatin1Char('/') + name;
        if (QFile::exists(file))
            QFile::remove(file);
    }
}

} // namespace kel
