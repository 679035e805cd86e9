#include "PictureWords.h"

#include "TextColumns.h"

#include "core/MessageNumbers.h"

#include <QJsonDocument>
#include <cstdio>

namespace kelctl {

const char* channelKey(kel::Channel channel)
{
    switch (channel) {
    case kel::Channel::Red:
        return "red";
    case kel::Channel::Green:
        return "green";
    case kel::Channel::Blue:
        return "blue";
    case kel::Channel::Grey:
        break;
    }
    return "grey";
}

QString channelName(const Context& context, kel::Channel channel)
{
    switch (channel) {
    case kel::Channel::Red:
        return labelOr(context, kel::KelctlRed, "red");
    case kel::Channel::Green:
        return labelOr(context, kel::KelctlGreen, "green");
    case kel::Channel::Blue:
        return labelOr(context, kel::KelctlBlue, "blue");
    case kel::Channel::Grey:
        break;
    }
    return labelOr(context, kel::KelctlGrey, "grey");
}

const char* kindKey(kel::ImageKind kind)
{
    return kind == kel::ImageKind::Colour ? "colour" : "grey";
}

QString fixed(double value)
{
    return QString::number(value, 'f', 2);
}

QString percent(double share)
{
    return fixed(100.0 * share) + QStringLiteral(" %");
}

void printJson(const QJsonObject& object)
{
    std::printf("%s\n", QJsonDocument(object).toJson(QJsonDocument::Compact).constData());
}

kel::ImageKind kindOf(const Arguments& parsed)
{
    return parsed.has(QStringLiteral("--grey")) ? kel::ImageKind::Grey : kel::ImageKind::Colour;
}

} // namespace kelctl
