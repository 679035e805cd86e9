#include "ui/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>

namespace kel {

QtTranslations::QtTranslations(const AppPaths& paths)
    : m_folders{paths.dataFile(QStringLiteral("translations")),
                QLibraryInfo::path(QLibraryInfo::TranslationsPath)}
{
}

bool QtTranslations::follow(qint32 language)
{
    if (m_installed) {
        QCoreApplication::removeTranslator(&m_translator);
        m_installed = false;
    }
    if (language != LanguageJapanese)
        return true;
    const QLocale japanese(QLocale::Japanese, QLocale::Japan);
    for (const QString& folder : m_folders) {
        if (m_translator.load(japanese, QStringLiteral("qtbase"), QStringLiteral("_"), folder)) {
            m_installed = QCoreApplication::installTranslator(&m_translator);
            return m_installed;
        }
    }
    return false;
}

} // namespace kel
