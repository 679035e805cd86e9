#pragma once
// The help document of the interface language: the compiled help file where one is installed
// beside the program, otherwise the HTML help that ships with it.

#include "core/AppPaths.h"

#include <QUrl>

namespace kel {

QString compiledHelpName(qint32 language); // "KEL_HELP_JPN.chm" or "KEL_HELP_ENG.chm"
QString htmlHelpPath(qint32 language);     // relative to the data folder

// An empty URL when there is no help at all.
QUrl helpDocument(const AppPaths& paths, qint32 language);

} // namespace kel
