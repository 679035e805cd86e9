#pragma once
// kelctl's image subcommands: sensor image file to bitmap, and bitmap to sensor image file,
// through the same library steps as the program's File menu.

#include "Context.h"

#include <QStringList>

namespace kelctl {

// kelctl convert IN.KEL OUT.bmp [--grey]
int runConvert(Context& context, const QStringList& args);

// kelctl import IN.bmp OUT.KEL
int runImport(Context& context, const QStringList& args);

} // namespace kelctl
