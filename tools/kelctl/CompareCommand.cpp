// kelctl compare: a picture against a reference, for scripts that watch for drift.

#include "Arguments.h"
#include "Commands.h"
#include "ExitStatus.h"
#include "KelctlText.h"
#include "PictureFiles.h"
#include "PictureWords.h"
#include "TextColumns.h"
#include "WorkFolder.h"

#include "core/MessageNumbers.h"
#include "image/PictureCompare.h"

#include <QJsonArray>
#include <cstdio>
#include <optional>

namespace kelctl {

namespace {

const char* const kCompareUsage =
    "usage: kelctl compare [--grey] [--threshold N] [--max-share P] [--json] A B\n\n"
    "Compares picture A with the reference B: for each channel the mean and the largest\n"
    "absolute difference, and how many pixels differ by more than N (default 16, 0 to 255) in\n"
    "any channel. With --max-share, the exit status is 15 when more than P percent of the\n"
    "pixels differ by more than N, so that a script can watch for drift. Files are taken as by\n"
    "stats. Pictures of different sizes, or a colour and a grey one, are not compared\n"
    "(status 2).\n";

// Why two pictures were not compared, on stderr (and as JSON on stdout).
int reportNotCompared(const Context& context, const kel::PictureView& a, const kel::PictureView& b,
                      const kel::PictureComparison& comparison, bool json)
{
    const bool sizes = comparison.outcome != kel::PictureComparison::Outcome::DifferentKinds;
    if (json) {
        const auto size = [](const kel::PictureView& p) {
            return QJsonObject{{QStringLiteral("width"), p.width()},
                               {QStringLiteral("height"), p.height()},
                               {QStringLiteral("kind"), kindKey(p.kind())}};
        };
        printJson({{QStringLiteral("compared"), false},
                   {QStringLiteral("reason"), sizes ? "different sizes" : "different kinds"},
                   {QStringLiteral("a"), size(a)},
                   {QStringLiteral("b"), size(b)}});
    }
    if (sizes)
        printError(kelctlText(context.core, kel::KelctlSizesDiffer,
                              {QString::number(a.width()), QString::number(a.height()),
                               QString::number(b.width()), QString::number(b.height())}));
    else
        printError(kelctlText(context.core, kel::KelctlKindsDiffer));
    return ExitUsage;
}

void printComparison(const Context& context, const kel::PictureComparison& comparison)
{
    std::vector<QStringList> rows = {
        {labelOr(context, kel::KelctlChannel, "channel"),
         labelOr(context, kel::KelctlMeanDifference, "mean difference"),
         labelOr(context, kel::KelctlLargestDifference, "largest")}};
    for (const kel::ChannelDifference& c : comparison.channels)
        rows.push_back({channelName(context, c.channel), fixed(c.meanAbsoluteDifference),
                        QString::number(c.largestDifference)});
    printTable(rows);
    std::printf("%s\n", kelctlText(context.core, kel::KelctlOverThreshold,
                                   {QString::number(comparison.pixelsOverThreshold),
                                    QString::number(comparison.pixels),
                                    fixed(100.0 * comparison.shareOverThreshold()),
                                    QString::number(comparison.threshold)})
                            .toLocal8Bit()
                            .constData());
}

QJsonObject comparisonJson(const QString& a, const QString& b, const kel::PictureView& picture,
                           const kel::PictureComparison& comparison, std::optional<double> maxShare,
                           bool exceeded)
{
    QJsonArray channels;
    for (const kel::ChannelDifference& c : comparison.channels)
        channels.append(
            QJsonObject{{QStringLiteral("channel"), channelKey(c.channel)},
                        {QStringLiteral("meanAbsoluteDifference"), c.meanAbsoluteDifference},
                        {QStringLiteral("largestDifference"), c.largestDifference}});
    return {{QStringLiteral("compared"), true},
            {QStringLiteral("a"), a},
            {QStringLiteral("b"), b},
            {QStringLiteral("width"), picture.width()},
            {QStringLiteral("height"), picture.height()},
            {QStringLiteral("kind"), kindKey(picture.kind())},
            {QStringLiteral("threshold"), comparison.threshold},
            {QStringLiteral("pixels"), qint64(comparison.pixels)},
            {QStringLiteral("overThreshold"), qint64(comparison.pixelsOverThreshold)},
            {QStringLiteral("percentOverThreshold"), 100.0 * comparison.shareOverThreshold()},
            {QStringLiteral("maxShare"), maxShare ? QJsonValue(*maxShare) : QJsonValue()},
            {QStringLiteral("exceeded"), exceeded},
            {QStringLiteral("channels"), channels}};
}

} // namespace

int runCompare(Context& context, const QStringList& args)
{
    Arguments parsed =
        parseArguments(args, {{QStringLiteral("--grey"), QStringLiteral("--json")},
                              {QStringLiteral("--threshold"), QStringLiteral("--max-share")},
                              2,
                              "a picture and a reference are needed"});
    int threshold = kel::kDefaultDifferenceThreshold;
    std::optional<double> maxShare;
    if (parsed.error.isEmpty() && !parsed.last(QStringLiteral("--threshold")).isEmpty()) {
        bool ok = false;
        threshold = parsed.last(QStringLiteral("--threshold")).toInt(&ok);
        if (!ok || threshold < 0 || threshold > 255)
            parsed.error = QStringLiteral("--threshold needs a whole number from 0 to 255");
    }
    if (parsed.error.isEmpty() && !parsed.last(QStringLiteral("--max-share")).isEmpty()) {
        bool ok = false;
        maxShare = parsed.last(QStringLiteral("--max-share")).toDouble(&ok);
        if (!ok || !(*maxShare >= 0 && *maxShare <= 100))
            parsed.error = QStringLiteral("--max-share needs a percentage from 0 to 100");
    }
    int status = ExitOk;
    if (!shouldRun(parsed, kCompareUsage, status))
        return status;

    WorkFolder work(context);
    if (!work.isValid())
        return ExitFileError;
    const QString& fileA = parsed.positional.at(0);
    const QString& fileB = parsed.positional.at(1);
    LoadedPicture a, b;
    if ((status = a.load(work, fileA, kindOf(parsed))) != ExitOk ||
        (status = b.load(work, fileB, kindOf(parsed))) != ExitOk)
        return status;
    const bool json = parsed.has(QStringLiteral("--json"));
    const kel::PictureComparison comparison = kel::comparePictures(a.view(), b.view(), threshold);
    if (!comparison.compared())
        return reportNotCompared(context, a.view(), b.view(), comparison, json);

    const double sharePercent = 100.0 * comparison.shareOverThreshold();
    const bool exceeded = maxShare && sharePercent > *maxShare;
    if (json)
        printJson(comparisonJson(fileA, fileB, a.view(), comparison, maxShare, exceeded));
    else
        printComparison(context, comparison);
    if (!exceeded)
        return ExitOk;
    printError(kelctlText(
        context.core, kel::KelctlTooMuchDiffers,
        {fixed(sharePercent), QString::number(comparison.threshold), QString::number(*maxShare)}));
    return ExitPicturesDiffer;
}

} // namespace kelctl
