#include "sensor/ProgressText.h"
#include "core/AppCore.h"

#include <QLocale>
#include <QStringList>
#include <algorithm>
#include <cmath>

namespace kel {

namespace {

// Both languages group thousands with commas.
QString grouped(qint64 number)
{
    return QLocale(QLocale::English).toString(number);
}

} // namespace

int progressShare(qint64 done, qint64 total)
{
    if (total <= 0)
        return 0;
    return static_cast<int>(std::clamp<qint64>(done * 100 / total, 0, 100));
}

ProgressTexts loadProgressTexts(const AppCore& core, int first)
{
    const int offset = first - ProgressDoneOfTotal;
    const auto text = [&core, offset](int number) {
        return core.GetMessageText(kSectionProgress, number + offset);
    };
    return {text(ProgressDoneOfTotal), text(ProgressDone), text(ProgressRate),
            text(ProgressSecondsLeft), text(ProgressMinutesLeft)};
}

QString progressText(const ProgressTexts& texts, const serial::TransferFigures& figures)
{
    QStringList lines;
    if (figures.total >= 0) {
        const qint64 done = std::min(figures.done, figures.total); // the last block's filler
        lines << texts.doneOfTotal.arg(grouped(done), grouped(figures.total),
                                       QString::number(progressShare(done, figures.total)));
    } else {
        lines << texts.done.arg(grouped(figures.done));
    }
    if (figures.bytesPerSecond)
        lines << texts.rate.arg(grouped(std::llround(*figures.bytesPerSecond)));
    if (figures.secondsLeft) {
        const qint64 seconds = *figures.secondsLeft;
        lines << (seconds < 60 ? texts.secondsLeft.arg(seconds)
                               : texts.minutesLeft.arg(seconds / 60).arg(seconds % 60));
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace kel
