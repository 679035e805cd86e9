// The table of subcommands; each lives in a file of its own.

#include "Subcommands.h"
#include "ImageCommands.h"
#include "SerialCommands.h"

namespace kelctl {

const std::vector<Subcommand>& subcommands()
{
    static const std::vector<Subcommand> table = {
        {"convert", "IN.KEL OUT.bmp [--grey]: sensor image file to bitmap", runConvert},
        {"import", "IN.bmp OUT.KEL: 24-bit bitmap of the sensor's size to sensor image file",
         runImport},
        {"command", "\"TEXT\": send one command line to the sensor and print its reply",
         runCommand},
        {"receive", "FILE: receive a file from the sensor by XMODEM", runReceive},
        {"send", "FILE: send a file to the sensor by XMODEM", runSend},
    };
    return table;
}

} // namespace kelctl
