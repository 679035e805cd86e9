#pragma once
// The subcommands. Each takes the words after its name and returns an ExitStatus.

#include "Context.h"

#include <QStringList>

namespace kelctl {

// Files only (ImageCommands.cpp).
int runConvert(Context& context, const QStringList& args);
int runImport(Context& context, const QStringList& args);

// The figures of a picture (StatsCommand.cpp) and of a comparison (CompareCommand.cpp).
int runStats(Context& context, const QStringList& args);
int runCompare(Context& context, const QStringList& args);

// One command line or one transfer (SerialCommands.cpp).
int runCommand(Context& context, const QStringList& args);
int runReceive(Context& context, const QStringList& args);
int runSend(Context& context, const QStringList& args);

// The sensor's image (SensorImageCommands.cpp).
int runInfo(Context& context, const QStringList& args);
int runFetch(Context& context, const QStringList& args);
int runUpload(Context& context, const QStringList& args);

// Bank and system data (BackupCommands.cpp).
int runBank(Context& context, const QStringList& args);
int runSystem(Context& context, const QStringList& args);

// The whole sensor as one set (SetCommands.cpp).
int runBackup(Context& context, const QStringList& args);
int runRestore(Context& context, const QStringList& args);
int runVerify(Context& context, const QStringList& args);

// Measurements (MeasureCommands.cpp).
int runMeasure(Context& context, const QStringList& args);
int runResult(Context& context, const QStringList& args);
int runWatch(Context& context, const QStringList& args);

} // namespace kelctl
