#pragma once
// What every subcommand gets: the application core with its settings loaded, and the prompter
// that prints its messages.

#include "ConsolePrompter.h"
#include "core/AppCore.h"

namespace kelctl {

struct Context {
    kel::AppCore& core;
    ConsolePrompter& prompter;
};

} // namespace kelctl
