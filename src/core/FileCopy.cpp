#include "core/FileCopy.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace kel {

namespace {

constexpr qint64 kChunkSize = 1 << 20;

bool fail(QString* failure, const QString& path, const QString& reason)
{
    if (failure)
        *failure = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), reason);
    return false;
}

} // namespace

bool replaceWithCopy(const QString& source, const QString& target, QString* failure)
{
    const QFileInfo from(source);
    const QFileInfo to(target);
    if (to.exists() && from.canonicalFilePath() == to.canonicalFilePath())
        return true; // removing the target first would lose the source

    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return fail(failure, source, in.errorString());
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly))
        return fail(failure, target, out.errorString());
    QByteArray chunk;
    while (!in.atEnd()) {
        chunk = in.read(kChunkSize);
        if (chunk.isEmpty() && in.error() != QFileDevice::NoError)
            return fail(failure, source, in.errorString());
        if (out.write(chunk) != chunk.size())
            return fail(failure, target, out.errorString());
    }
    // flush() first: a failure of the buffered write would not stop the commit.
    if (!out.flush() || !out.commit())
        return fail(failure, target, out.errorString());
    return true;
}

} // namespace kel
