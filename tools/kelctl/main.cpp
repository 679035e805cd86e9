// kelctl: the tool's operations from a shell, for scripts and automation.

#include "ExitStatus.h"
#include "Subcommands.h"

#include "core/VersionText.h"

#include "serial/DeviceNames.h"

#include <QCoreApplication>
#include <QDir>
#include <csignal>
#include <cstdio>
#include <utility>

namespace {

void printUsage(std::FILE* out)
{
    std::fprintf(
        out, "usage: kelctl [--device PATH] [--settings FILE] SUBCOMMAND [ARGS...]\n"
             "       kelctl [--settings FILE] --sensors FILE backup [--json] DIR\n"
             "       kelctl SUBCOMMAND --help\n"
             "       kelctl --version\n\n"
             "Options:\n"
             "  --device PATH    serial device to use instead of the port of the settings\n"
             "                   (not on Windows, where port n is COMn), or a serial device\n"
             "                   server: rfc2217://HOST:PORT or tcp://HOST:PORT\n"
             "  --settings FILE  settings file to use instead of Setting.ini beside kelctl\n"
             "  --sensors FILE   back up every sensor of a list at once (see backup --help)\n\n"
             "Exit status: 0 success, 1 failure, 2 bad arguments or input, 3 settings unusable,\n"
             "4 port cannot be opened (or device server not reached), 5 no reply, 6 \"ER\",\n"
             "7 transfer time-out, 8 transfer data error, 9 stopped (Ctrl-C), 10 cancelled by\n"
             "the sensor, 11 file error, 12 unexpected reply, 13 a block read back differs,\n"
             "14 backup set incomplete or changed, 15 device server connection closed or\n"
             "dropped, 16 compare: more of the picture differs than --max-share allows.\n"
             "Of several sensors, the worst status.\n\n"
             "Subcommands:\n");
    for (const kelctl::Subcommand& sub : kelctl::subcommands())
        std::fprintf(out, "  %-8s %s\n", sub.name, sub.summary);
}

// Takes "--device PATH" and "--settings FILE" (or "--option=value") from the front of args.
bool takeGlobalOptions(QStringList& args, QString& device, QString& settingsFile,
                       QString& sensorsFile)
{
    while (!args.isEmpty()) {
        const QString arg = args.first();
        QString* target = nullptr;
        for (const auto& [name, value] :
             {std::pair{"--device", &device}, std::pair{"--settings", &settingsFile},
              std::pair{"--sensors", &sensorsFile}}) {
            if (arg == QLatin1String(name) ||
                arg.startsWith(QLatin1String(name) + QLatin1Char('=')))
                target = value;
        }
        if (!target)
            return true;
        args.removeFirst();
        const qsizetype equals = arg.indexOf(QLatin1Char('='));
        if (equals >= 0) {
            *target = arg.mid(equals + 1);
        } else if (!args.isEmpty()) {
            *target = args.takeFirst();
        } else {
            std::fprintf(stderr, "kelctl: %s needs a value\n", arg.toLocal8Bit().constData());
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("keltool"));
#ifdef SIGXFSZ
    // A write past the file size limit then fails and exits 11 like a full disk, instead of
    // ending kelctl in the middle of a transfer with the sensor left waiting.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    QStringList args = QCoreApplication::arguments().mid(1);
    QString device;
    QString settingsFile;
    QString sensorsFile;
    if (!takeGlobalOptions(args, device, settingsFile, sensorsFile)) {
        printUsage(stderr);
        return kelctl::ExitUsage;
    }
    if (!args.isEmpty() && args.first() == QLatin1String("--version")) {
        // The version as the about box gives it.
        std::printf("%s\n", kel::versionLine(QStringLiteral("kelctl"), kel::programVersion())
                                .toLatin1()
                                .constData());
        return kelctl::ExitOk;
    }
    if (args.isEmpty() || args.first() == QLatin1String("--help") ||
        args.first() == QLatin1String("-h")) {
        printUsage(args.isEmpty() ? stderr : stdout);
        return args.isEmpty() ? kelctl::ExitUsage : kelctl::ExitOk;
    }

    const QString name = args.takeFirst();
    if (!sensorsFile.isEmpty() && (name != QLatin1String("backup") || !device.isEmpty())) {
        std::fprintf(stderr, "kelctl: --sensors goes with backup alone, and not with --device\n");
        return kelctl::ExitUsage;
    }
    for (const kelctl::Subcommand& sub : kelctl::subcommands()) {
        if (name != QLatin1String(sub.name))
            continue;
        kelctl::ConsolePrompter prompter;
        kel::AppPaths paths = kel::AppPaths::forRunningExecutable();
        paths.settingsOverride = settingsFile;
        kel::AppCore core(paths, prompter);
        core.endProcess = [](int) { std::exit(kelctl::ExitSettings); };
        core.LoadLanguage();
        core.LoadComSettings();
        // A relative path on the command line means what it means to the shell.
        if (!device.isEmpty())
            core.strComDevice = kel::serial::deviceFromFolder(device, QDir::currentPath());
        kelctl::Context context{core, prompter, settingsFile, sensorsFile};
        return sub.run(context, args);
    }
    std::fprintf(stderr, "kelctl: unknown subcommand '%s'\n", name.toLocal8Bit().constData());
    printUsage(stderr);
    return kelctl::ExitUsage;
}
