// kelctl stats: the figures the window shows of a picture or a rectangle of it, for scripts that
// watch lighting and gains.

#include "Arguments.h"
#include "Commands.h"
#include "ExitStatus.h"
#include "KelctlText.h"
#include "PictureFiles.h"
#include "PictureWords.h"
#include "TextColumns.h"
#include "WorkFolder.h"

#include "core/MessageNumbers.h"
#include "image/PictureStats.h"

#include <QJsonArray>
#include <cstdio>
#include <optional>

namespace kelctl {

namespace {

const char* const kStatsUsage =
    "usage: kelctl stats [--grey] [--roi X,Y,W,H] [--json] FILE\n\n"
    "Prints for each channel of a picture (red, green and blue, or grey) the mean, standard\n"
    "deviation, minimum, maximum and the share of pixels at 0 and at 255, and marks a channel\n"
    "with more than 0.5 % of its pixels at 255 as saturated. FILE is a sensor image file (.KEL)\n"
    "converted the way the program shows it (--grey: as the grey picture), or a bitmap or PNG\n"
    "as it is. --roi counts only the rectangle from column X and row Y (0,0 is the top-left\n"
    "pixel), W wide and H high, clipped to the picture. --json prints one object, with the\n"
    "256 counts of each channel's histogram.\n";

constexpr int kLargestCoordinate = 1000000;

// "X,Y,W,H": a rectangle of at least one pixel; its corner may lie outside the picture.
std::optional<QRect> rectangleArgument(const QString& text, QString& error)
{
    const QStringList parts = text.split(QLatin1Char(','));
    int values[4] = {};
    bool ok = parts.size() == 4;
    for (qsizetype i = 0; ok && i < 4; ++i) {
        values[i] = parts[i].trimmed().toInt(&ok);
        const int minimum = i < 2 ? -kLargestCoordinate : 1;
        ok = ok && values[i] >= minimum && values[i] <= kLargestCoordinate;
    }
    if (!ok) {
        error = QStringLiteral("--roi needs X,Y,W,H: whole numbers, W and H from 1 to %1")
                    .arg(kLargestCoordinate);
        return std::nullopt;
    }
    return QRect(values[0], values[1], values[2], values[3]);
}

QJsonObject statsJson(const QString& file, const kel::PictureView& picture,
                      const kel::PictureStats& stats)
{
    QJsonArray channels;
    for (const kel::ChannelStats& c : stats.channels) {
        QJsonArray histogram;
        for (const quint32 count : c.histogram)
            histogram.append(qint64(count));
        channels.append(QJsonObject{{QStringLiteral("channel"), channelKey(c.channel)},
                                    {QStringLiteral("mean"), c.mean},
                                    {QStringLiteral("standardDeviation"), c.standardDeviation},
                                    {QStringLiteral("minimum"), c.minimum},
                                    {QStringLiteral("maximum"), c.maximum},
                                    {QStringLiteral("at0"), qint64(c.atZero())},
                                    {QStringLiteral("at255"), qint64(c.atFull())},
                                    {QStringLiteral("percentAt0"), 100.0 * c.shareAtZero()},
                                    {QStringLiteral("percentAt255"), 100.0 * c.shareAtFull()},
                                    {QStringLiteral("saturated"), c.saturated()},
                                    {QStringLiteral("histogram"), histogram}});
    }
    const QRect& area = stats.area;
    return {{QStringLiteral("file"), file},
            {QStringLiteral("width"), picture.width()},
            {QStringLiteral("height"), picture.height()},
            {QStringLiteral("kind"), kindKey(picture.kind())},
            {QStringLiteral("area"), QJsonObject{{QStringLiteral("x"), area.x()},
                                                 {QStringLiteral("y"), area.y()},
                                                 {QStringLiteral("width"), area.width()},
                                                 {QStringLiteral("height"), area.height()}}},
            {QStringLiteral("pixels"), qint64(area.width()) * area.height()},
            {QStringLiteral("channels"), channels}};
}

void printStats(const Context& context, const kel::PictureView& picture,
                const kel::PictureStats& stats)
{
    const QRect& area = stats.area;
    std::printf("%s\n",
                kelctlText(context.core, kel::KelctlStatsArea,
                           {QString::number(picture.width()), QString::number(picture.height()),
                            QString::number(area.x()), QString::number(area.y()),
                            QString::number(area.width()), QString::number(area.height()),
                            QString::number(qint64(area.width()) * area.height())})
                    .toLocal8Bit()
                    .constData());
    std::vector<QStringList> rows = {
        {labelOr(context, kel::KelctlChannel, "channel"), labelOr(context, kel::KelctlMean, "mean"),
         labelOr(context, kel::KelctlStandardDeviation, "std dev"),
         labelOr(context, kel::KelctlMinimum, "min"), labelOr(context, kel::KelctlMaximum, "max"),
         labelOr(context, kel::KelctlAtZero, "at 0"), labelOr(context, kel::KelctlAtFull, "at 255"),
         QString()}};
    for (const kel::ChannelStats& c : stats.channels)
        rows.push_back(
            {channelName(context, c.channel), fixed(c.mean), fixed(c.standardDeviation),
             QString::number(c.minimum), QString::number(c.maximum), percent(c.shareAtZero()),
             percent(c.shareAtFull()),
             c.saturated() ? labelOr(context, kel::KelctlSaturated, "saturated") : QString()});
    printTable(rows);
}

} // namespace

int runStats(Context& context, const QStringList& args)
{
    Arguments parsed = parseArguments(args, {{QStringLiteral("--grey"), QStringLiteral("--json")},
                                             {QStringLiteral("--roi")},
                                             1,
                                             "one picture file is needed"});
    std::optional<QRect> rectangle;
    if (parsed.error.isEmpty() && !parsed.last(QStringLiteral("--roi")).isEmpty())
        rectangle = rectangleArgument(parsed.last(QStringLiteral("--roi")), parsed.error);
    int status = ExitOk;
    if (!shouldRun(parsed, kStatsUsage, status))
        return status;

    WorkFolder work(context);
    if (!work.isValid())
        return ExitFileError;
    const QString& file = parsed.positional.first();
    LoadedPicture loaded;
    if ((status = loaded.load(work, file, kindOf(parsed))) != ExitOk)
        return status;
    const kel::PictureView picture = loaded.view();
    const kel::PictureStats stats =
        rectangle ? kel::pictureStats(picture, *rectangle) : kel::pictureStats(picture);
    if (stats.isEmpty()) {
        printError(
            kelctlText(context.core, kel::KelctlRectangleOutside,
                       {parsed.last(QStringLiteral("--roi")), QString::number(picture.width()),
                        QString::number(picture.height())}));
        return ExitUsage;
    }
    if (parsed.has(QStringLiteral("--json")))
        printJson(statsJson(file, picture, stats));
    else
        printStats(context, picture, stats);
    return ExitOk;
}

} // namespace kelctl
