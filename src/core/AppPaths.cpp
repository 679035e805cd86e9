#include "core/AppPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace kel {

namespace {

// Relative to bin/ of an installed tree.
const char* const kInstalledDataDir = "../share/keltool";

bool hasLanguageFiles(const QString& dir)
{
    return QFileInfo::exists(dir + QStringLiteral("/LabelJPN.ini")) ||
           QFileInfo::exists(dir + QStringLiteral("/LabelENG.ini"));
}

// Asking the file system for permission bits is not enough (root, ACLs, read-only mounts):
// try to create a file.
bool folderAcceptsFiles(const QString& dir)
{
    QTemporaryFile probe(dir + QStringLiteral("/.keltool-write-test-XXXXXX"));
    return probe.open();
}

#ifdef Q_OS_WIN
// A folder under Program Files is an installed copy: it keeps its settings in the user's
// folder even when the folder could be written (an administrator, or a system such as Wine
// that does not protect it).
bool insideProgramFiles(const QString& dir)
{
    const QString folder = QDir::cleanPath(dir) + QLatin1Char('/');
    for (const char* variable : {"ProgramFiles", "ProgramFiles(x86)", "ProgramW6432"}) {
        const QString root = qEnvironmentVariable(variable);
        if (!root.isEmpty() &&
            folder.startsWith(QDir::cleanPath(QDir::fromNativeSeparators(root)) + QLatin1Char('/'),
                              Qt::CaseInsensitive))
            return true;
    }
    return false;
}
#endif

bool canHoldSettings(const QString& dir)
{
#ifdef Q_OS_WIN
    if (insideProgramFiles(dir))
        return false;
#endif
    return folderAcceptsFiles(dir);
}

} // namespace

AppPaths AppPaths::resolve(const QString& exeDir,
                           const std::function<bool(const QString&)>& canWrite,
                           const QString& userDataDir)
{
    const QString installed =
        QDir::cleanPath(exeDir + QLatin1Char('/') + QLatin1String(kInstalledDataDir));
    // A folder that carries its own language files is a copied application folder; otherwise
    // the program was installed, and an installed program never writes beside itself, not
    // even when run by an administrator who could.
    const bool portable = hasLanguageFiles(exeDir) || !hasLanguageFiles(installed);

    AppPaths paths;
    paths.dataDir = portable ? exeDir : installed;
    paths.appDir = portable && canWrite(exeDir) ? exeDir : userDataDir;
    return paths;
}

AppPaths AppPaths::forRunningExecutable()
{
    const QString exeDir = QCoreApplication::applicationDirPath();
    QString userDir = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    if (userDir.isEmpty())
        userDir = QDir::homePath() + QStringLiteral("/.keltool");
    AppPaths paths = resolve(exeDir, canHoldSettings, userDir);
    QDir().mkpath(paths.appDir);
    return paths;
}

} // namespace kel
