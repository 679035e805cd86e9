#include "core/LabelLines.h"
#include "core/VbConvert.h"

namespace kel {

namespace {

QString withoutTabs(QString text)
{
    return text.remove(QLatin1Char('\t'));
}

} // namespace

std::vector<LabelLine> parseLabelLines(const QStringList& lines)
{
    std::vector<LabelLine> result;
    for (const QString& line : lines) {
        if (line.trimmed().startsWith(QLatin1Char(';')))
            continue;
        const QStringList keyValue = line.split(QLatin1Char('='));
        if (keyValue.size() < 2)
            continue;
        const QStringList key = keyValue.at(0).split(QLatin1Char('@'));
        const QStringList value = keyValue.at(1).split(QLatin1Char('@'));
        if (value.size() < 3)
            continue;

        LabelLine label;
        label.name = key.at(0).trimmed();
        if (key.size() > 1) {
            label.index = toInt16(key.at(1));
            if (!label.index)
                continue;
        }
        label.caption = withoutTabs(value.at(0)).trimmed();
        label.fontName = withoutTabs(value.at(1)).trimmed();
        label.fontSize = toInt16(withoutTabs(value.at(2)));
        result.push_back(label);
    }
    return result;
}

} // namespace kel
