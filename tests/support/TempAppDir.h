#pragma once
// A fresh application folder for one test, optionally holding the shipped language files.

#include "core/AppPaths.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace kel::test {

class TempAppDir {
public:
    TempAppDir();

    QString path() const { return m_dir.path(); }
    AppPaths paths() const { return AppPaths::single(path()); }
    QString file(const QString& name) const { return path() + QLatin1Char('/') + name; }

    // Copies the four shipped language files into the folder.
    void addLanguageFiles() const;
    void write(const QString& name, const QByteArray& bytes) const;
    QByteArray read(const QString& name) const;

private:
    QTemporaryDir m_dir;
};

// The shipped language file of that name, read from the source tree.
QByteArray shippedLanguageFile(const QString& name);

} // namespace kel::test
