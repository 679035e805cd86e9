#pragma once
// The pieces the main window's status line is worded from: its texts in the window's language,
// numbers written the way that language writes them, and files named as the operator knows
// them.

#include "core/AppCore.h"

#include <QLocale>
#include <QString>
#include <QStringList>

namespace kel {

// Text number of section "Status"; "" when the message file lacks it.
QString statusText(const AppCore& core, int number);

// text with %1 to %9 replaced by the arguments in one pass, so that an argument holding "%2"
// (a file name may) stays as it is; a marker without its argument stays too.
QString filledIn(const QString& text, const QStringList& arguments);

// Text number of section "Status" with its arguments filled in.
QString statusText(const AppCore& core, int number, const QStringList& arguments);

// The locale of the interface language: digit grouping and the decimal sign.
QLocale statusLocale(const AppCore& core);

// A byte count with the language's digit grouping ("1,024").
QString byteCount(const AppCore& core, qint64 bytes);

// Milliseconds as seconds with one decimal ("0.4").
QString secondsOf(const AppCore& core, quint32 milliseconds);

// A file inside the application folder relative to it ("BANK/bank3.BNK"), any other with its
// full path; in the platform's separators either way.
QString shownPath(const AppPaths& paths, const QString& file);

} // namespace kel
