#pragma once
// Labels from the message file lined up in columns on a terminal.

#include "Context.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace kelctl {

// The text of section "Kelctl" of the message file, or the English word when the file has none.
QString labelOr(const Context& context, int number, const char* english);

// Columns a text takes on a terminal: two for the wide characters of East Asian scripts.
int columnsOf(const QString& text);

// The text followed by blanks up to the given columns (none when it is as wide or wider).
QString padded(const QString& text, int columns);

// Prints the rows on stdout, each cell padded to its column's widest cell and two blanks more,
// the last cell of a row as it is.
void printTable(const std::vector<QStringList>& rows);

} // namespace kelctl
