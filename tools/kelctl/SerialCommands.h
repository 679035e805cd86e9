#pragma once
// Subcommands that talk to the sensor: one command line, one XMODEM receive or send.

#include "Context.h"

#include <QStringList>

namespace kelctl {

int runCommand(Context& context, const QStringList& args);
int runReceive(Context& context, const QStringList& args);
int runSend(Context& context, const QStringList& args);

} // namespace kelctl
