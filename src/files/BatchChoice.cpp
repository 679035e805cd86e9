#include "files/BatchChoice.h"

#include <QDir>
#include <QFileInfo>

namespace kel {

QString bitmapNameFor(const QString& name)
{
    const QString extension = QStringLiteral(".KEL");
    const QString bitmap = QStringLiteral(".bmp");
    if (name.size() > extension.size() && name.endsWith(extension, Qt::CaseInsensitive))
        return name.chopped(extension.size()) + bitmap;
    return name + bitmap;
}

namespace {

bool sameFile(const QString& a, const QString& b)
{
    const QFileInfo first(a);
    const QFileInfo second(b);
    if (first.exists() && second.exists())
        return first.canonicalFilePath() == second.canonicalFilePath();
    return QDir::cleanPath(first.absoluteFilePath()) == QDir::cleanPath(second.absoluteFilePath());
}

} // namespace

QString avoidingSource(const QString& target, const QString& sourcePath)
{
    return sameFile(target, sourcePath) ? target + QStringLiteral(".bmp") : target;
}

QString bitmapPathFor(const QString& folder, const QString& name, const QString& sourcePath)
{
    return avoidingSource(folderWithSeparator(folder) + bitmapNameFor(name), sourcePath);
}

QString folderWithSeparator(const QString& path)
{
    const QString native = QDir::toNativeSeparators(path);
    const QChar separator = QDir::separator();
    return native.endsWith(separator) ? native : native + separator;
}

void takeChosenFiles(BatchChoice& choice, const QString& fileName, const QString& fileTitle)
{
    const QStringList parts = fileName.split(QChar(0));
    choice.strConvFileName.clear();
    choice.strConvFilePath.clear();
    if (parts.size() == 1) {
        choice.strConvFileName << fileTitle;
        choice.strConvFilePath << fileName;
        return;
    }
    const QString folder = folderWithSeparator(parts.first());
    for (qsizetype i = 1; i < parts.size(); ++i) {
        choice.strConvFileName << parts[i];
        choice.strConvFilePath << folder + parts[i];
    }
}

} // namespace kel
