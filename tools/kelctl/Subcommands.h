#pragma once

#include "Context.h"

#include <QStringList>
#include <vector>

namespace kelctl {

struct Subcommand {
    const char* name;
    const char* summary; // one line for "kelctl --help"
    // args: the words after the subcommand's name. Returns an ExitStatus.
    int (*run)(Context& context, const QStringList& args);
};

const std::vector<Subcommand>& subcommands();

} // namespace kelctl
