#pragma once
// Where the program keeps its files. The application folder is the folder of the executable,
// so a copied folder works as it is; an installed copy whose folder cannot be written keeps its
// settings and working folders in the user's data folder instead. Language and help files are
// read from beside the executable or from the installed data folder. On Windows a copy under
// Program Files counts as installed.

#include <QString>
#include <functional>

namespace kel {

struct AppPaths {
    QString appDir;           // Setting.ini and the working folders
    QString dataDir;          // language files and help
    QString settingsOverride; // a settings file chosen on a command line; "" for Setting.ini

    QString settingsFile() const
    {
        return settingsOverride.isEmpty() ? appDir + QStringLiteral("/Setting.ini")
                                          : settingsOverride;
    }
    QString tmpDir() const { return appDir + QStringLiteral("/TMP"); }
    QString imageDir() const { return appDir + QStringLiteral("/IMAGE"); }
    QString systemDir() const { return appDir + QStringLiteral("/SYSTEM"); }
    QString bankDir() const { return appDir + QStringLiteral("/BANK"); }
    QString dataFile(const QString& name) const { return dataDir + QLatin1Char('/') + name; }

    // Both folders the same: what tests and a copied folder use.
    static AppPaths single(const QString& dir) { return {dir, dir, {}}; }

    // exeDir: folder of the running executable. canWrite decides whether a folder can hold
    // the settings; userDataDir is the per-user fallback.
    static AppPaths resolve(const QString& exeDir,
                            const std::function<bool(const QString&)>& canWrite,
                            const QString& userDataDir);

    // The real thing for the running process.
    static AppPaths forRunningExecutable();
};

} // namespace kel
