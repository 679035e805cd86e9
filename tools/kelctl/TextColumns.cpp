#include "TextColumns.h"

#include "core/MessageNumbers.h"

#include <algorithm>
#include <cstdio>

namespace kelctl {

QString labelOr(const Context& context, int number, const char* english)
{
    const QString label = context.core.GetMessageText(kel::kSectionKelctl, number).trimmed();
    return label.isEmpty() ? QString::fromLatin1(english) : label;
}

int columnsOf(const QString& text)
{
    int columns = 0;
    for (const QChar c : text) {
        const char16_t code = c.unicode();
        const bool wide =
            (code >= 0x1100 && code <= 0x115F) || (code >= 0x2E80 && code <= 0xA4CF) ||
            (code >= 0xAC00 && code <= 0xD7A3) || (code >= 0xF900 && code <= 0xFAFF) ||
            (code >= 0xFE30 && code <= 0xFE4F) || (code >= 0xFF00 && code <= 0xFF60) ||
            (code >= 0xFFE0 && code <= 0xFFE6);
        columns += wide ? 2 : 1;
    }
    return columns;
}

QString padded(const QString& text, int columns)
{
    return text + QString(std::max(0, columns - columnsOf(text)), QLatin1Char(' '));
}

void printTable(const std::vector<QStringList>& rows)
{
    std::vector<int> widths;
    for (const QStringList& row : rows)
        for (qsizetype c = 0; c < row.size(); ++c) {
            if (widths.size() <= std::size_t(c))
                widths.push_back(0);
            widths[c] = std::max(widths[c], columnsOf(row[c]));
        }
    for (const QStringList& row : rows) {
        QString line;
        for (qsizetype c = 0; c < row.size(); ++c)
            line += c + 1 < row.size() ? padded(row[c], widths[c] + 2) : row[c];
        while (line.endsWith(QLatin1Char(' ')))
            line.chop(1);
        std::printf("%s\n", line.toLocal8Bit().constData());
    }
}

} // namespace kelctl
