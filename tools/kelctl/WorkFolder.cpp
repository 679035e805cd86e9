#include "WorkFolder.h"

#include <QDir>

namespace kelctl {

namespace {

kel::AppPaths inFolder(kel::AppPaths paths, const QString& appDir)
{
    paths.appDir = appDir;
    return paths;
}

} // namespace

WorkFolder::WorkFolder(Context& context)
    : m_core(inFolder(context.core.paths(), m_dir.path()), context.prompter)
{
    m_core.lngLanguage = context.core.lngLanguage;
    m_ok = m_dir.isValid() && QDir().mkpath(m_core.paths().tmpDir());
    if (!m_ok)
        context.core.ShowFailure(
            QStringLiteral("Path/File access error (%1)").arg(QDir::tempPath()));
}

} // namespace kelctl
