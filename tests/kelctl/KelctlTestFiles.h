#pragma once
// Small file helpers for the kelctl tests.

#include <QByteArray>
#include <QFile>
#include <QString>

namespace kel::test {

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

// How often kelsim logged that it received the command line.
inline qsizetype timesSent(const QByteArray& log, const char* command)
{
    return log.count(QByteArray("kelsim: > ") + command + '\n');
}

} // namespace kel::test
