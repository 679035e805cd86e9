#pragma once
// The progress window's figures in words, from the "Progress" texts of the message file: the
// bytes done (of the total when known, with the share), the rate and the time left, one to a
// line; a figure that is not known yet leaves its line out.

#include "serial/TransferView.h"

#include <QString>

namespace kel {

class AppCore;

inline const QString kSectionProgress = QStringLiteral("Progress");
enum ProgressText : int {
    ProgressDoneOfTotal = 1, // %1 of %2 bytes (%3 %)
    ProgressDone = 2,        // %1 bytes
    ProgressRate = 3,        // %1 bytes/s
    ProgressSecondsLeft = 4, // %1 s left
    ProgressMinutesLeft = 5, // %1 min %2 s left
    ProgressSetFirst = 10,   // the whole sensor's figures: five texts in the order above
};

// The texts, read once per transfer: the figures change with every block.
struct ProgressTexts {
    QString doneOfTotal, done, rate, secondsLeft, minutesLeft;
};
// first: ProgressDoneOfTotal for a transfer's own figures, ProgressSetFirst for a whole set's.
ProgressTexts loadProgressTexts(const AppCore& core, int first = ProgressDoneOfTotal);

QString progressText(const ProgressTexts& texts, const serial::TransferFigures& figures);

// Whole percent of total that done is, 0 to 100, rounded down so that 100 means finished.
int progressShare(qint64 done, qint64 total);

} // namespace kel
