#include "serial/LineSettings.h"

#include <QStringList>

namespace kel::serial {

namespace {

constexpr qint32 kMaxBaudRate = 4000000;

std::optional<qint32> parseBaudRate(const QString& field)
{
    if (field.isEmpty() || field.size() > 7)
        return std::nullopt;
    for (const QChar c : field) {
        if (!c.isDigit() || c.unicode() > 0x7F)
            return std::nullopt;
    }
    const qint32 value = field.toInt();
    if (value < 1 || value > kMaxBaudRate)
        return std::nullopt;
    return value;
}

std::optional<Parity> parseParity(const QString& field)
{
    if (field.size() != 1)
        return std::nullopt;
    switch (field.at(0).toUpper().unicode()) {
    case 'N':
        return Parity::None;
    case 'O':
        return Parity::Odd;
    case 'E':
        return Parity::Even;
    case 'M':
        return Parity::Mark;
    case 'S':
        return Parity::Space;
    default:
        return std::nullopt;
    }
}

std::optional<StopBits> parseStopBits(const QString& field)
{
    if (field == QLatin1String("1"))
        return StopBits::One;
    if (field == QLatin1String("1.5"))
        return StopBits::OneAndHalf;
    if (field == QLatin1String("2"))
        return StopBits::Two;
    return std::nullopt;
}

} // namespace

std::optional<LineSettings> parseLineSettings(const QString& text)
{
    const QStringList fields = text.split(QLatin1Char(','));
    if (fields.size() != 4)
        return std::nullopt;
    const std::optional<qint32> baud = parseBaudRate(fields.at(0).trimmed());
    const std::optional<Parity> parity = parseParity(fields.at(1).trimmed());
    const QString bits = fields.at(2).trimmed();
    const std::optional<StopBits> stop = parseStopBits(fields.at(3).trimmed());
    if (!baud || !parity || !stop || bits.size() != 1 || bits.at(0) < QLatin1Char('5') ||
        bits.at(0) > QLatin1Char('8'))
        return std::nullopt;
    return LineSettings{*baud, *parity, bits.at(0).unicode() - '0', *stop};
}

double characterTimeMs(const LineSettings& settings)
{
    double bits = 1.0 + settings.dataBits + (settings.parity == Parity::None ? 0.0 : 1.0);
    switch (settings.stopBits) {
    case StopBits::One:
        bits += 1.0;
        break;
    case StopBits::OneAndHalf:
        bits += 1.5;
        break;
    case StopBits::Two:
        bits += 2.0;
        break;
    }
    return bits * 1000.0 / settings.baudRate;
}

} // namespace kel::serial
