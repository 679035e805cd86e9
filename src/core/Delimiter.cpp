#include "core/Delimiter.h"

namespace kel {

namespace {

struct DelimiterEntry {
    Delimiter delimiter;
    const char* code;
    const char* characters;
    const char* name;
};

constexpr DelimiterEntry kDelimiters[] = {
    {Delimiter::Cr, "0", "\r", "CR"},
    {Delimiter::Lf, "1", "\n", "LF"},
    {Delimiter::CrLf, "2", "\r\n", "CR LF"},
};

const DelimiterEntry& entryOf(Delimiter delimiter)
{
    return kDelimiters[static_cast<int>(delimiter)];
}

} // namespace

Delimiter delimiterOfCode(const QString& code)
{
    for (const DelimiterEntry& entry : kDelimiters)
        if (code == QLatin1String(entry.code))
            return entry.delimiter;
    return Delimiter::CrLf;
}

QString codeOf(Delimiter delimiter)
{
    return QLatin1String(entryOf(delimiter).code);
}

QString charactersOf(Delimiter delimiter)
{
    return QLatin1String(entryOf(delimiter).characters);
}

std::optional<Delimiter> delimiterOfCharacters(const QString& characters)
{
    for (const DelimiterEntry& entry : kDelimiters)
        if (characters == QLatin1String(entry.characters))
            return entry.delimiter;
    return std::nullopt;
}

QString nameOf(Delimiter delimiter)
{
    return QLatin1String(entryOf(delimiter).name);
}

std::optional<Delimiter> delimiterOfName(const QString& name)
{
    const QString compact = name.simplified().remove(QLatin1Char(' '));
    for (const DelimiterEntry& entry : kDelimiters) {
        if (compact == QLatin1String(entry.code) ||
            compact.compare(QString::fromLatin1(entry.name).remove(QLatin1Char(' ')),
                            Qt::CaseInsensitive) == 0)
            return entry.delimiter;
    }
    return std::nullopt;
}

} // namespace kel
