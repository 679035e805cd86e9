#include "support/TempAppDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace kel::test {

TempAppDir::TempAppDir()
{
    EXPECT_TRUE(m_dir.isValid());
}

void TempAppDir::addLanguageFiles() const
{
    for (const char* name : {"LabelJPN.ini", "LabelENG.ini", "MessageJPN.ini", "MessageENG.ini"})
        write(QLatin1String(name), shippedLanguageFile(QLatin1String(name)));
}

void TempAppDir::write(const QString& name, const QByteArray& bytes) const
{
    const QString target = file(name);
    QDir().mkpath(QFileInfo(target).path());
    QFile out(target);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly)) << target.toStdString();
    out.write(bytes);
}

QByteArray TempAppDir::read(const QString& name) const
{
    QFile in(file(name));
    if (!in.open(QIODevice::ReadOnly))
        return {};
    return in.readAll();
}

QByteArray shippedLanguageFile(const QString& name)
{
    QFile in(QStringLiteral(KEL_LANGUAGE_DIR) + QLatin1Char('/') + name);
    EXPECT_TRUE(in.open(QIODevice::ReadOnly)) << name.toStdString();
    return in.readAll();
}

} // namespace kel::test
