#include "core/AppCore.h"

#include <QLocale>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace kel {

int platformUserDefaultLangId()
{
#ifdef Q_OS_WIN
    return GetUserDefaultLangID();
#else
    constexpr int kJapanese = 0x0411;
    constexpr int kEnglishUs = 0x0409;
    return QLocale::system().language() == QLocale::Japanese ? kJapanese : kEnglishUs;
#endif
}

} // namespace kel
