#pragma once
// What kelctl tells the operator, in the language of the settings: section "Kelctl" of the
// message file.

#include "core/AppCore.h"

#include <QStringList>

namespace kelctl {

// The text of number with %1, %2... replaced by arguments in one pass, so that a file name
// holding "%2" stays as it is. A message file without the text still gives a line to print:
// the number and the arguments.
QString kelctlText(const kel::AppCore& core, int number, const QStringList& arguments = {});

} // namespace kelctl
