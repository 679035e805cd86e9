#include "dialogs/ComSettingsText.h"

#include <algorithm>

namespace kel {

QStringList splitComSetting(const QString& text)
{
    QStringList fields;
    QString rest = text;
    for (int i = 0; i < 3; ++i) {
        const qsizetype comma = rest.indexOf(QLatin1Char(','));
        if (comma < 0)
            return {};
        fields << rest.left(comma);
        rest = rest.mid(comma + 1);
    }
    fields << rest;
    return fields;
}

QString joinComSetting(const QString& oldText, const QStringList& chosen)
{
    if (std::all_of(chosen.begin(), chosen.end(), [](const QString& f) { return f.isEmpty(); }))
        return oldText;
    QStringList fields = splitComSetting(oldText);
    if (fields.isEmpty()) {
        fields = oldText.split(QLatin1Char(','));
        while (fields.size() < 4)
            fields << QString();
    }
    for (qsizetype i = 0; i < 4 && i < chosen.size(); ++i) {
        if (!chosen[i].isEmpty())
            fields[i] = chosen[i];
    }
    return fields.mid(0, 4).join(QLatin1Char(','));
}

} // namespace kel
