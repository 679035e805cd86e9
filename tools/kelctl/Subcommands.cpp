// The table of subcommands; each lives in a file of its own.

#include "Subcommands.h"
#include "ImageCommands.h"

namespace kelctl {

const std::vector<Subcommand>& subcommands()
{
    static const std::vector<Subcommand> table = {
        {"convert", "IN.KEL OUT.bmp [--grey]: sensor image file to bitmap", runConvert},
        {"import", "IN.bmp OUT.KEL: 24-bit bitmap of the sensor's size to sensor image file",
         runImport},
    };
    return table;
}

} // namespace kelctl
