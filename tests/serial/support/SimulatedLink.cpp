#include "support/SimulatedLink.h"
#include "serial/FileTransfer.h"

namespace kel::test {

SimulatedLink::SimulatedLink(SimulatedLine& line, int side)
    : clock(line), link(notices, line.port(side), clock)
{
    link.line.port = 1;
    link.view = &view;
}

void SimulatedLink::holdOpenPort()
{
    serial::XmAttachPort(link, link.MSComm1);
    serial::XmOpenPort(link, link.line);
}

} // namespace kel::test
