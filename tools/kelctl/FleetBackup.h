#pragma once
// kelctl --sensors FILE backup DIR: every sensor of the list backed up at the same time, each by
// a kelctl of its own on its own line into DIR/NAME, then a summary of them all.

#include "Context.h"

#include <QString>

namespace kelctl {

// The worst exit status of the sensors' runs.
int runFleetBackup(Context& context, const QString& folder, bool json);

} // namespace kelctl
