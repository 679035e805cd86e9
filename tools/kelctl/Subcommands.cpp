// The table of subcommands; each lives in a file of its own.

#include "Subcommands.h"

namespace kelctl {

const std::vector<Subcommand>& subcommands()
{
    static const std::vector<Subcommand> table = {};
    return table;
}

} // namespace kelctl
