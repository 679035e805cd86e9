#include "support/SimulatedLink.h"
#include "serial/FileTransfer.h"

#include <gtest/gtest.h>

namespace kel::test {

SimulatedLink::SimulatedLink(SimulatedLine& line, int side)
    : core(dir.paths(), prompter), clock(line), link(core, line.port(side), clock)
{
    dir.addLanguageFiles();
    dir.write(QStringLiteral("Setting.ini"), "[OPERATION]\r\nLanguage=English\r\n[COM]\r\nPort="
                                             "1\r\nSetting=38400,N,8,1\r\nDelimitr=0\r\n");
    core.LoadLanguage();
    core.LoadComSettings();
    link.view = &view;
}

void SimulatedLink::holdOpenPort()
{
    serial::XmAttachPort(link, link.MSComm1);
    serial::XmOpenPort(link, core.iComPort, core.strComSetting);
}

} // namespace kel::test
