// The application core: its paths, the prompter it shows boxes through, and the language files
// of the language chosen for the run.

#include "core/AppCore.h"

#include <cstdlib>

namespace kel {

AppCore::AppCore(AppPaths paths, Prompter& prompter)
    : userDefaultLangId(platformUserDefaultLangId),
      endProcess([](int status) { std::exit(status); }), m_paths(std::move(paths)),
      m_prompter(&prompter)
{
}

QString AppCore::labelFile() const
{
    return m_paths.dataFile(lngLanguage == LanguageJapanese ? QStringLiteral("LabelJPN.ini")
                                                            : QStringLiteral("LabelENG.ini"));
}

QString AppCore::messageFile() const
{
    return m_paths.dataFile(lngLanguage == LanguageJapanese ? QStringLiteral("MessageJPN.ini")
                                                            : QStringLiteral("MessageENG.ini"));
}

} // namespace kel
