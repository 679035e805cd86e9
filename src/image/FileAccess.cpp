#include "image/FileAccess.h"

#include <QFileInfo>
#include <QSaveFile>

namespace kel {

namespace {

QString describeFileError(const QFileDevice& file, const char* fallback)
{
    switch (file.error()) {
    case QFileDevice::OpenError:
        if (!QFileInfo::exists(QFileInfo(file.fileName()).path()))
            return QStringLiteral("Path not found");
        if (!QFileInfo::exists(file.fileName()))
            return QStringLiteral("File not found");
        return QStringLiteral("Permission denied");
    case QFileDevice::PermissionsError:
        return QStringLiteral("Permission denied");
    case QFileDevice::ResourceError:
        return QStringLiteral("Disk full");
    default:
        return QLatin1String(fallback);
    }
}

} // namespace

QString describeFailure(const QString& description, const QString& path)
{
    return QStringLiteral("%1 (%2)").arg(description, path);
}

bool openForReading(QFile& file, const QString& path, QString& failure)
{
    file.setFileName(path);
    if (QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly)) {
        failure =
            describeFailure(QFileInfo(path).isDir() ? QStringLiteral("Path/File access error")
                                                    : describeFileError(file, "File not found"),
                            path);
        return false;
    }
    return true;
}

bool writeWholeFile(const QString& path, const QByteArray& bytes, QString& failure)
{
    // Written beside the old file and put in its place only when complete: a full disk or an
    // I/O error leaves the old file as it was.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        failure = describeFailure(describeFileError(file, "Path/File access error"), path);
        return false;
    }
    // flush() before commit(): a failure of the buffered write would otherwise not stop the
    // commit from putting the short file in place.
    if (file.write(bytes) != bytes.size() || !file.flush() || !file.commit()) {
        failure = describeFailure(describeFileError(file, "Device I/O error"), path);
        return false;
    }
    return true;
}

bool recreateWorkFile(const QString& path, const QByteArray& bytes, QString& failure)
{
    QFile::remove(path);
    return writeWholeFile(path, bytes, failure);
}

} // namespace kel
