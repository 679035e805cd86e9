// kelsim: a simulated sensor on a pseudo-terminal, for trying the tool and for its tests.

#include "Announcement.h"
#include "FaultyPort.h"
#include "LineServer.h"
#include "PtyPort.h"
#include "SensorModel.h"
#include "SimOptions.h"
#include "StateFolder.h"

#include "core/Delimiter.h"
#include "core/ProfileFile.h"
#include "serial/SystemClock.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <memory>

namespace {

using namespace kel;
using namespace kel::sim;

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
constexpr int kIdleWaitMs = 100;

std::atomic<bool> g_terminate{false};
std::atomic<bool>* g_transferStop = nullptr;
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");

extern "C" void requestTermination(int)
{
    g_terminate = true;
    if (g_transferStop)
        g_transferStop->store(true);
}

void installSignalHandlers()
{
    struct sigaction action {};
    action.sa_handler = requestTermination;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGTERM, SIGINT, SIGHUP})
        sigaction(signal, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

void printError(const QString& text)
{
    std::fprintf(stderr, "kelsim: %s\n", text.toLocal8Bit().constData());
}

// The transfer code reports port failures in a box; here they go to the log.
// What the line reports on the sensor's side goes to the log.
class LogNotices : public serial::LineNotices {
public:
    bool showMessage(serial::LineMessage message, const QString& detail, QString*) override
    {
        printError(QStringLiteral("line message %1").arg(static_cast<int>(message)));
        if (!detail.isEmpty())
            printError(detail);
        return true;
    }
    void showPortFailure(const QString& description) override { printError(description); }
    void showWriteFailure(const QString& path, const QString& reason) override
    {
        printError(path + QStringLiteral(": ") + reason);
    }
    serial::ReceiveCaption receiveCaption() override { return {}; }
};

QString describeLine(const SimOptions& options)
{
    const QString delimiter = nameOf(
        delimiterOfCharacters(QString::fromLatin1(options.delimiter)).value_or(Delimiter::Cr));
    const QString pace =
        options.baud > 0 ? QStringLiteral("%1 baud").arg(options.baud) : QStringLiteral("unpaced");
    return delimiter + QStringLiteral(", ") + pace;
}

// The line follows the tool it is started for: without --delimiter, the delimiter of the
// settings file it is pointed at (CR when the file has none).
QByteArray delimiterFor(const SimOptions& options)
{
    QByteArray delimiter = options.delimiter;
    if (options.delimiterGiven || options.settingsFile.isEmpty())
        return delimiter;
    const QString code =
        profile::readString(options.settingsFile, QStringLiteral("COM"), QStringLiteral("Delimitr"))
            .value;
    // Read as the tool reads it: no code means CR, an unknown one CR LF.
    return code.isEmpty() ? delimiter : charactersOf(delimiterOfCode(code)).toLatin1();
}

int serve(SimOptions options, const QString& stateDir)
{
    options.delimiter = delimiterFor(options);
    const StateFolder state(stateDir);
    QString error;
    if (!state.prepare(&error)) {
        printError(error);
        return kExitFailure;
    }
    PtyPort pty;
    if (!pty.create(&error)) {
        printError(error);
        return kExitFailure;
    }
    pty.setBaud(options.baud);
    pty.setAbandonFlag(&g_terminate);
    const QString device = pty.devicePath();
    Announcement announcement(device, options);
    if (!announcement.publish(&error)) {
        printError(error);
        return kExitFailure;
    }

    LogNotices notices;
    serial::SystemClock clock;
    serial::SerialLink link(notices, pty, clock);
    link.xmLine.baudRate = options.baud > 0 ? options.baud : serial::LineSettings{}.baudRate;
    g_transferStop = &link.blnStop;
    if (g_terminate)
        link.blnStop = true;
    ByteFaults byteFaults;
    byteFaults.corruptPercent = options.corruptPercent;
    byteFaults.dropPercent = options.dropPercent;
    byteFaults.losePercent = options.losePercent;
    byteFaults.seed = options.seed;
    byteFaults.ignoreCrcRequest = options.ignoreCrcRequest;
    byteFaults.cancelAfterBlock = options.cancelAfterBlock;
    byteFaults.hangUpAfterBytes = options.hangUpAfterBytes;
    FaultyPort port(pty, byteFaults, link.blnStop);
    link.xmPort = &port;

    QElapsedTimer uptime;
    uptime.start();
    SensorModel sensor(options.image, state, [&uptime] { return uptime.elapsed(); });
    ServerConfig config;
    config.delimiter = options.delimiter;
    config.faults = options.commandFaults;
    config.receive = {options.checksumOnly, options.startIntervalMs, serial::kStartRequestTimeoutMs,
                      options.cancelAfterBlock};
    const bool quiet = options.quiet;
    LineServer server(config, sensor, link, port, g_terminate, [quiet](const QString& text) {
        if (!quiet)
            printError(text);
    });

    std::printf("%s\n", device.toLocal8Bit().constData());
    std::fflush(stdout);
    if (!quiet)
        printError(QStringLiteral("serving on %1%2 (%3), state in %4")
                       .arg(device,
                            announcement.linkPath().isEmpty()
                                ? QString()
                                : QStringLiteral(" as ") + announcement.linkPath(),
                            describeLine(options), QDir::toNativeSeparators(stateDir)));
    while (!g_terminate) {
        pty.releaseExclusiveLock();
        try {
            server.pollOnce(kIdleWaitMs);
        } catch (const serial::PortError& failure) {
            printError(port.hungUp() ? QStringLiteral("hung up the line") : failure.description());
            break;
        }
    }
    g_transferStop = nullptr;
    if (!quiet)
        printError(QStringLiteral("stopped"));
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    installSignalHandlers();
    QCoreApplication app(argc, argv);
    const ParsedOptions parsed = parseSimOptions(QCoreApplication::arguments().mid(1));
    switch (parsed.outcome) {
    case ParsedOptions::Outcome::Help:
        std::printf("%s", simUsage().toLocal8Bit().constData());
        return 0;
    case ParsedOptions::Outcome::Error:
        printError(parsed.error);
        std::fprintf(stderr, "%s", simUsage().toLocal8Bit().constData());
        return kExitUsage;
    case ParsedOptions::Outcome::Run:
        break;
    }
    std::unique_ptr<QTemporaryDir> temporaryState;
    QString stateDir = parsed.options.stateDir;
    if (stateDir.isEmpty()) {
        temporaryState =
            std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/kelsim-XXXXXX"));
        if (!temporaryState->isValid()) {
            printError(QStringLiteral("cannot create a temporary state folder"));
            return kExitFailure;
        }
        stateDir = temporaryState->path();
    }
    return serve(parsed.options, QFileInfo(stateDir).absoluteFilePath());
}
