#include "dialogs/HelpFile.h"
#include "core/AppCore.h"

#include <QFileInfo>

namespace kel {

QString compiledHelpName(qint32 language)
{
    return language == LanguageJapanese ? QStringLiteral("KEL_HELP_JPN.chm")
                                        : QStringLiteral("KEL_HELP_ENG.chm");
}

QString htmlHelpPath(qint32 language)
{
    return language == LanguageJapanese ? QStringLiteral("help/ja/index.html")
                                        : QStringLiteral("help/en/index.html");
}

QUrl helpDocument(const AppPaths& paths, qint32 language)
{
    for (const QString& candidate :
         {paths.dataFile(compiledHelpName(language)), paths.dataFile(htmlHelpPath(language))}) {
        if (QFileInfo(candidate).isFile())
            return QUrl::fromLocalFile(candidate);
    }
    return {};
}

} // namespace kel
