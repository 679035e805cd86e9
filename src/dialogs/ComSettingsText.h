#pragma once
// The line parameters text of the settings file, "baud,parity,data bits,stop bits", taken
// apart the way the settings dialog shows it and put together from the dialog's lists.

#include <QString>
#include <QStringList>

namespace kel {

// The four fields: split at the first three commas, the fourth holding the rest. Fewer than
// three commas: an empty list.
QStringList splitComSetting(const QString& text);

// Replaces the fields whose list has a choice (non-empty in chosen) and keeps the others as
// the old text had them.
QString joinComSetting(const QString& oldText, const QStringList& chosen);

} // namespace kel
