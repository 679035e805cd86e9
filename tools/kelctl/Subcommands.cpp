// The table of subcommands; each lives in a file of its own.

#include "Subcommands.h"
#include "Commands.h"

namespace kelctl {

const std::vector<Subcommand>& subcommands()
{
    static const std::vector<Subcommand> table = {
        {"info", "[--json]: what the sensor says of the image it holds", runInfo},
        {"fetch", "[--grey] OUT.KEL|OUT.bmp...: fetch the sensor's image into files", runFetch},
        {"upload", "IN.KEL|IN.bmp: load an image into the sensor", runUpload},
        {"bank", "save N FILE | save all DIR | load FILE: back up or restore banks", runBank},
        {"system", "save FILE | load FILE: back up or restore the system data", runSystem},
        {"backup", "DIR: back up the whole sensor (8 banks, system data) with a manifest",
         runBackup},
        {"restore", "DIR: restore a whole-sensor set, then read every block back", runRestore},
        {"verify", "DIR: compare the sensor with a whole-sensor set", runVerify},
        {"measure", "[--continuous|--end|--other]: trigger a measurement", runMeasure},
        {"result", "[--json]: the last result and measured value", runResult},
        {"watch", "--every SECONDS [--count N] [--trigger]: log results as CSV", runWatch},
        {"convert", "[--grey] IN.KEL OUT.bmp | --out DIR FILES...: sensor image files to bitmaps",
         runConvert},
        {"import", "IN.bmp OUT.KEL: 24-bit bitmap of the sensor's size to sensor image file",
         runImport},
        {"stats", "[--roi X,Y,W,H] [--json] FILE: mean, spread, extremes, 0 and 255 per channel",
         runStats},
        {"compare", "[--threshold N] [--max-share P] [--json] A B: a picture against a reference",
         runCompare},
        {"command", "\"TEXT\": send one command line to the sensor and print its reply",
         runCommand},
        {"receive", "FILE: receive a file from the sensor by XMODEM", runReceive},
        {"send", "FILE: send a file to the sensor by XMODEM", runSend},
    };
    return table;
}

} // namespace kelctl
