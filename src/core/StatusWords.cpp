#include "core/StatusWords.h"

#include <QDir>

namespace kel {

QString statusText(const AppCore& core, int number)
{
    return core.GetMessageText(kSectionStatus, number).trimmed();
}

QString filledIn(const QString& text, const QStringList& arguments)
{
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('%') && i + 1 < text.size()) {
            const int index = text.at(i + 1).digitValue();
            if (index >= 1 && index <= arguments.size()) {
                result += arguments.at(index - 1);
                ++i;
                continue;
            }
        }
        result += c;
    }
    return result;
}

QString statusText(const AppCore& core, int number, const QStringList& arguments)
{
    return filledIn(statusText(core, number), arguments);
}

QLocale statusLocale(const AppCore& core)
{
    return core.lngLanguage == LanguageJapanese ? QLocale(QLocale::Japanese, QLocale::Japan)
                                                : QLocale(QLocale::English, QLocale::UnitedStates);
}

QString byteCount(const AppCore& core, qint64 bytes)
{
    return statusLocale(core).toString(bytes);
}

QString secondsOf(const AppCore& core, quint32 milliseconds)
{
    return statusLocale(core).toString(milliseconds / 1000.0, 'f', 1);
}

QString shownPath(const AppPaths& paths, const QString& file)
{
    const QString absolute = QDir::cleanPath(QDir(paths.appDir).absoluteFilePath(file));
    const QString relative = QDir(paths.appDir).relativeFilePath(absolute);
    const bool inside =
        !relative.startsWith(QLatin1String("..")) && !QDir::isAbsolutePath(relative);
    return QDir::toNativeSeparators(inside ? relative : absolute);
}

} // namespace kel
