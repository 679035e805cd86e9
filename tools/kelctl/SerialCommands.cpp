// kelctl command "TEXT", kelctl receive FILE, kelctl send FILE: one command line, or one
// transfer after a command the caller sent, on the port of Setting.ini (or --device).

#include "Arguments.h"
#include "Commands.h"
#include "ExitStatus.h"
#include "KelctlText.h"
#include "Session.h"

#include "serial/CommandExchange.h"

#include <QFile>
#include <QFileInfo>
#include <cstdio>

namespace kelctl {

namespace {

const char* const kCommandUsage =
    "usage: kelctl [--device PATH] [--settings FILE] command \"TEXT\"\n\n"
    "Sends one command line to the sensor and prints its reply. Exit status 6 when the reply\n"
    "is \"ER\", 5 when none comes within 5 seconds.\n";

const char* const kReceiveUsage =
    "usage: kelctl [--device PATH] [--settings FILE] receive FILE\n\n"
    "Receives a file from the sensor by XMODEM, after a command that started the transfer\n"
    "(for example \"kelctl command 'BANKSAVE 1'\"). FILE is replaced.\n";

const char* const kSendUsage =
    "usage: kelctl [--device PATH] [--settings FILE] send FILE\n\n"
    "Sends a file to the sensor by XMODEM, after a command that started the transfer\n"
    "(for example \"kelctl command BANKLOAD\").\n";

int runTransfer(Context& context, const QStringList& args, Direction direction)
{
    const char* usage = direction == Direction::Receive ? kReceiveUsage : kSendUsage;
    const Arguments parsed = parseArguments(args, {{}, {}, 1, "one file is needed"});
    int status = ExitOk;
    if (!shouldRun(parsed, usage, status))
        return status;
    const QString path = parsed.positional.first();
    // A received file holds exactly the accepted blocks only when it starts empty.
    if (direction == Direction::Receive && QFile::exists(path) && !QFile::remove(path)) {
        printError(kelctlText(context.core, kel::KelctlCannotReplaceFile, {path}));
        return ExitFileError;
    }

    Session session(context);
    const bool receiving = direction == Direction::Receive;
    const QString label = session.text(receiving ? kel::KelctlReceiving : kel::KelctlSending)
                              .arg(QFileInfo(path).fileName());
    status = session.move(path, direction, label);
    if (status == ExitOk && receiving)
        listWritten(path);
    return status;
}

} // namespace

int runCommand(Context& context, const QStringList& args)
{
    const Arguments parsed = parseArguments(args, {{}, {}, 1, "one command line is needed"});
    int status = ExitOk;
    if (!shouldRun(parsed, kCommandUsage, status))
        return status;
    Session session(context);
    kel::serial::CommandOutcome outcome;
    const QString reply =
        kel::serial::SendCommand(session.link(), parsed.positional.first(), &outcome);
    if (outcome.failure == kel::serial::CommandFailure::None)
        std::printf("%s\n", reply.toLocal8Bit().constData());
    return Session::statusOf(outcome, reply);
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
