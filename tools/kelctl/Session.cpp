#include "Session.h"
#include "Arguments.h"
#include "ExitStatus.h"
#include "KelctlText.h"

#include "core/AppCore.h"
#include "core/MessageNumbers.h"
#include "core/ShownReply.h"
#include "sensor/SensorProtocol.h"
#include "serial/CommandExchange.h"
#include "serial/FileTransfer.h"
#include "serial/XmodemProtocol.h"

namespace kelctl {

using namespace kel::serial;

Session::Session(Context& context)
    : m_context(context), m_notices(context.core), m_link(m_notices, m_port, m_clock),
      m_progress(m_link.display), m_interrupt(m_link.blnStop)
{
    m_link.line = kel::lineConfigOf(context.core);
#ifdef _WIN32
    // A virtual COM port may refuse DTR control; the run goes on and says so once.
    m_port.setWarningHandler([this](const QString& warning) {
        printError(kelctlText(m_context.core, kel::KelctlWarning, {warning}));
    });
#endif
}

namespace {

// A device server that cannot be reached is a port that cannot be opened; a connection made
// and then closed or dropped has a status of its own, whichever route it took.
int statusOfNetwork(const std::optional<NetworkFailure>& failure)
{
    return failure && failure->connected ? ExitConnectionLost : ExitPortUnavailable;
}

} // namespace

int Session::statusOf(const CommandOutcome& outcome, const QString& reply)
{
    switch (outcome.failure) {
    case CommandFailure::None:
        return reply == kel::sensor::kReplyError ? ExitSensorError : ExitOk;
    case CommandFailure::PortCannotOpen: // message 21 was printed with the device and reason
        return ExitPortUnavailable;
    case CommandFailure::NoReply: // message 22 was printed
        return ExitNoReply;
    case CommandFailure::RuntimeFailure:
        printError(outcome.detail);
        return ExitFailure;
    case CommandFailure::Network: // its message was printed
        return statusOfNetwork(outcome.network);
    }
    return ExitFailure;
}

int Session::statusOf(const kel::AppCore& core, const TransferOutcome& outcome)
{
    switch (outcome.failure) {
    case TransferFailure::PortCannotOpen:
        printError(outcome.detail);
        return ExitPortUnavailable;
    case TransferFailure::FileCannotOpen:
    case TransferFailure::FileError:
        printError(outcome.detail);
        return ExitFileError;
    case TransferFailure::FileNotWritten: // the file and the reason were printed
        return ExitFileError;
    case TransferFailure::PortError:
        printError(outcome.detail);
        return ExitFailure;
    case TransferFailure::Network: // its message (or the port's failure) was printed
        return statusOfNetwork(outcome.network);
    case TransferFailure::None:
        break;
    }
    switch (outcome.code) {
    case XM_SUCCESS:
        return ExitOk;
    case XM_STOPPED:
        printError(kelctlText(core, kel::KelctlTransferStopped));
        return ExitStopped;
    case XM_DATA_ERROR: // message 22 was printed
        return ExitTransferDataError;
    case XM_TIMEOUT: // message 23 was printed
        return ExitTransferTimeout;
    case XM_REMOTE_CANCEL:
        printError(kelctlText(core, kel::KelctlRemoteCancelled));
        return ExitRemoteCancel;
    default: // the port's failure was printed
        return ExitFailure;
    }
}

std::optional<QString> Session::ask(const QString& command, int* status)
{
    if (stopRequested()) {
        printError(kelctlText(m_context.core, kel::KelctlStopped));
        *status = ExitStopped;
        return std::nullopt;
    }
    CommandOutcome outcome;
    const QString reply = SendCommand(m_link, command, &outcome);
    *status = statusOf(outcome, reply);
    if (*status != ExitOk)
        return std::nullopt;
    return reply;
}

QString Session::text(int number) const
{
    return m_context.core.GetMessageText(kel::kSectionKelctl, number);
}

int Session::transfer(const QString& command, const QString& label, const QString& path,
                      Direction direction, qint64 expectedBytes)
{
    if (stopRequested()) {
        printError(kelctlText(m_context.core, kel::KelctlStopped));
        return ExitStopped;
    }
    const auto showProgress = [&] {
        m_link.display.reset();
        m_link.view = &m_progress;
        m_progress.begin(label, expectedBytes);
    };
    const kel::sensor::CommandTransferOutcome outcome =
        kel::sensor::CommandThenTransfer(m_link, command, path, direction, {{}, showProgress});
    if (!outcome.transfer) {
        const int status = statusOf(outcome.command, outcome.reply);
        if (status != ExitOk)
            return status;
        printError(kelctlText(m_context.core, kel::KelctlUnexpectedReply,
                              {kel::shownReply(m_context.core, outcome.reply), command}));
        return ExitUnexpectedReply;
    }
    m_progress.end();
    m_link.view = nullptr;
    return statusOf(m_context.core, *outcome.transfer);
}

int Session::move(const QString& path, Direction direction, const QString& label,
                  qint64 expectedBytes)
{
    m_link.display.reset();
    m_link.view = &m_progress;
    m_progress.begin(label, expectedBytes);
    const TransferOutcome outcome =
        direction == Direction::Receive ? ReceiveFile(m_link, path) : SendFile(m_link, path);
    m_progress.end();
    m_link.view = nullptr;
    return statusOf(m_context.core, outcome);
}

} // namespace kelctl
