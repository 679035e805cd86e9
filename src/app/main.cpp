// keltool: the desktop tool for the sensor.

#include "app/frmMain.h"
#include "core/AppCore.h"
#include "ui/QtPrompter.h"
#include "ui/ShutdownSignals.h"

#include <QApplication>
#include <QIcon>
#include <csignal>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("keltool"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/images/app_icon.png")));

    // Requests to end the program are taken before anything else, so that none is lost.
    kel::ShutdownSignals shutdownRequests;
#ifdef SIGXFSZ
    // A write past the file size limit then fails and is told like a full disk, instead of
    // ending the program in the middle of a transfer.
    std::signal(SIGXFSZ, SIG_IGN);
#endif

    kel::QtPrompter prompter;
    kel::AppCore core(kel::AppPaths::forRunningExecutable(), prompter);
    kel::frmMain window(core);
    QObject::connect(&shutdownRequests, &kel::ShutdownSignals::requested, &window,
                     &kel::frmMain::ShutDown);
    window.Form_Load();
    window.show();
    return app.exec();
}
