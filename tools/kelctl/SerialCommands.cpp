// kelctl command "TEXT", kelctl receive FILE, kelctl send FILE: the same command exchange and
// transfer code as the program's windows, on the port of Setting.ini (or --device).

#include "SerialCommands.h"
#include "ExitStatus.h"
#include "serial/CommandExchange.h"
#include "serial/FileTransfer.h"
#include "serial/QtBytePort.h"
#include "serial/SystemClock.h"
#include "serial/XmodemProtocol.h"

#include <QElapsedTimer>
#include <QFile>
#include <atomic>
#include <csignal>
#include <cstdio>

#ifdef Q_OS_WIN
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

namespace kelctl {

namespace {

using namespace kel::serial;

void printError(const QString& text)
{
    std::fprintf(stderr, "kelctl: %s\n", text.toLocal8Bit().constData());
}

bool wantsHelp(const QStringList& args, const char* usage)
{
    if (!args.contains(QLatin1String("--help")) && !args.contains(QLatin1String("-h")))
        return false;
    std::printf("usage: kelctl [--device PATH] [--settings FILE] %s\n", usage);
    return true;
}

// The progress window's two lines as one line that a terminal rewrites in place; nothing
// when stderr is no terminal.
class TerminalProgress : public TransferView {
public:
    TerminalProgress() : m_enabled(isatty(fileno(stderr)) != 0) { m_sinceLast.start(); }
    ~TerminalProgress() override
    {
        if (m_shown)
            std::fputc('\n', stderr);
    }

    void setReadText(const QString& text) override { show(text); }
    void setProgress(qint64 value, qint64 maximum) override
    {
        show(QStringLiteral("%1 / %2 bytes").arg(value).arg(maximum));
    }

private:
    void show(const QString& text)
    {
        if (!m_enabled || (m_shown && m_sinceLast.elapsed() < 100))
            return;
        std::fprintf(stderr, "\r%s\033[K", text.toLocal8Bit().constData());
        std::fflush(stderr);
        m_shown = true;
        m_sinceLast.restart();
    }

    bool m_enabled;
    bool m_shown = false;
    QElapsedTimer m_sinceLast;
};

// Ctrl-C during a transfer is the stop button: the transfer cancels and ends with XM_STOPPED.
std::atomic<bool>* g_stopFlag = nullptr;
static_assert(std::atomic<bool>::is_always_lock_free, "the stop flag is set from a signal handler");

extern "C" void requestStop(int)
{
    if (g_stopFlag)
        g_stopFlag->store(true);
}

class StopOnInterrupt {
public:
    explicit StopOnInterrupt(std::atomic<bool>& flag)
    {
        g_stopFlag = &flag;
        m_previous = std::signal(SIGINT, requestStop);
    }
    ~StopOnInterrupt()
    {
        std::signal(SIGINT, m_previous);
        g_stopFlag = nullptr;
    }

private:
    void (*m_previous)(int) = SIG_DFL;
};

int exitStatusOf(const TransferOutcome& outcome)
{
    switch (outcome.failure) {
    case TransferFailure::PortCannotOpen:
        printError(outcome.detail);
        return ExitPortUnavailable;
    case TransferFailure::FileCannotOpen:
    case TransferFailure::FileError:
        printError(outcome.detail);
        return ExitFileError;
    case TransferFailure::PortError:
        printError(outcome.detail);
        return ExitFailure;
    case TransferFailure::None:
        break;
    }
    switch (outcome.code) {
    case XM_SUCCESS:
        return ExitOk;
    case XM_STOPPED:
        printError(QStringLiteral("transfer stopped"));
        return ExitStopped;
    case XM_DATA_ERROR: // message 22 was printed
        return ExitTransferDataError;
    case XM_TIMEOUT: // message 23 was printed
        return ExitTransferTimeout;
    case XM_REMOTE_CANCEL:
        printError(QStringLiteral("the sensor cancelled the transfer"));
        return ExitRemoteCancel;
    default: // the port's failure was printed
        return ExitFailure;
    }
}

enum class Direction { Receive, Send };

int runTransfer(Context& context, const QStringList& args, Direction direction)
{
    const char* usage = direction == Direction::Receive ? "receive FILE" : "send FILE";
    if (wantsHelp(args, usage))
        return ExitOk;
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: kelctl [--device PATH] [--settings FILE] %s\n", usage);
        return ExitUsage;
    }
    const QString path = args.first();
    // A received file holds exactly the accepted blocks only when it starts empty.
    if (direction == Direction::Receive && QFile::exists(path) && !QFile::remove(path)) {
        printError(path + QStringLiteral(": cannot replace the file"));
        return ExitFileError;
    }

    QtBytePort port;
    SystemClock clock;
    SerialLink link(context.core, port, clock);
    TerminalProgress progress;
    link.view = &progress;
    const StopOnInterrupt stopOnInterrupt(link.blnStop);
    const TransferOutcome outcome =
        direction == Direction::Receive ? ReceiveFile(link, path) : SendFile(link, path);
    link.view = nullptr;
    return exitStatusOf(outcome);
}

} // namespace

int runCommand(Context& context, const QStringList& args)
{
    if (wantsHelp(args, "command \"TEXT\""))
        return ExitOk;
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: kelctl [--device PATH] [--settings FILE] command \"TEXT\"\n");
        return ExitUsage;
    }
    QtBytePort port;
    SystemClock clock;
    SerialLink link(context.core, port, clock);
    CommandOutcome outcome;
    const QString reply = SendCommand(link, args.first(), &outcome);
    switch (outcome.failure) {
    case CommandFailure::None:
        std::printf("%s\n", reply.toLocal8Bit().constData());
        return reply == QLatin1String("ER") ? ExitSensorError : ExitOk;
    case CommandFailure::PortCannotOpen:
        printError(outcome.detail);
        return ExitPortUnavailable;
    case CommandFailure::NoReply:
        return ExitNoReply;
    case CommandFailure::RuntimeFailure:
        printError(outcome.detail);
        return ExitFailure;
    }
    return ExitFailure;
}

int runReceive(Context& context, const QStringList& args)
{
    return runTransfer(context, args, Direction::Receive);
}

int runSend(Context& context, const QStringList& args)
{
    return runTransfer(context, args, Direction::Send);
}

} // namespace kelctl
