#pragma once
// A file's bytes read or written whole, for tests that compare what a transfer left.

#include <QByteArray>
#include <QFile>
#include <QString>

namespace kel::test {

// "(missing)" when the file cannot be read, so a comparison names the cause.
inline QByteArray readBytes(const QString& path)
{
    QFile in(path);
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray("(missing)");
}

inline bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile out(path);
    return out.open(QIODevice::WriteOnly | QIODevice::Truncate) && out.write(bytes) == bytes.size();
}

} // namespace kel::test
