// kelctl: the tool's operations from a shell, for scripts and automation.

#include "ExitStatus.h"
#include "Subcommands.h"

#include <QCoreApplication>
#include <cstdio>

namespace {

void printUsage(std::FILE* out)
{
    std::fprintf(out, "usage: kelctl SUBCOMMAND [ARGS...]\n       kelctl SUBCOMMAND --help\n\n"
                      "Subcommands:\n");
    for (const kelctl::Subcommand& sub : kelctl::subcommands())
        std::fprintf(out, "  %-10s %s\n", sub.name, sub.summary);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("keltool"));
    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty() || args.first() == QLatin1String("--help") ||
        args.first() == QLatin1String("-h")) {
        printUsage(args.isEmpty() ? stderr : stdout);
        return args.isEmpty() ? kelctl::ExitUsage : kelctl::ExitOk;
    }

    const QString name = args.takeFirst();
    for (const kelctl::Subcommand& sub : kelctl::subcommands()) {
        if (name != QLatin1String(sub.name))
            continue;
        kelctl::ConsolePrompter prompter;
        kel::AppCore core(kel::AppPaths::forRunningExecutable(), prompter);
        core.endProcess = [](int) { std::exit(kelctl::ExitSettings); };
        core.LoadLanguage();
        core.LoadComSettings();
        kelctl::Context context{core, prompter};
        return sub.run(context, args);
    }
    std::fprintf(stderr, "kelctl: unknown subcommand '%s'\n", name.toLocal8Bit().constData());
    printUsage(stderr);
    return kelctl::ExitUsage;
}
