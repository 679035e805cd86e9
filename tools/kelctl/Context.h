#pragma once
// What every subcommand gets: the application core with its settings loaded, and the prompter
// that prints its messages.

#include "ConsolePrompter.h"
#include "core/AppCore.h"

namespace kelctl {

struct Context {
    kel::AppCore& core;
    ConsolePrompter& prompter;
    QString settingsFile; // as given with --settings ("" for Setting.ini beside kelctl)
    QString sensorsFile;  // as given with --sensors; only backup takes it
};

} // namespace kelctl
