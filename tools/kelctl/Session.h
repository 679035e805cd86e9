#pragma once
// One run of kelctl against the sensor: the port, the clock and the link the GUI uses too,
// progress on the terminal and Ctrl-C as the stop button. Every step maps what went wrong onto
// an exit status; the system's message was printed by then.

#include "Context.h"
#include "StopOnInterrupt.h"
#include "TerminalProgress.h"

#include "sensor/CommandTransfer.h"
#include "sensor/CoreLine.h"
#include "serial/SerialLink.h"
#include "serial/SystemBytePort.h"
#include "serial/SystemClock.h"

#include <optional>

namespace kel::serial {
struct CommandOutcome;
struct TransferOutcome;
} // namespace kel::serial

namespace kelctl {

using Direction = kel::sensor::Direction;

class Session {
public:
    explicit Session(Context& context);

    kel::AppCore& core() { return m_context.core; }
    kel::serial::SerialLink& link() { return m_link; }
    bool stopRequested() const { return m_link.blnStop; }

    // The sensor's reply to command, or nothing with *status set: "ER", no reply, a port that
    // cannot be opened, or a Ctrl-C before the command went out.
    std::optional<QString> ask(const QString& command, int* status);

    // command, which must be answered "OK", then the transfer of the file at path. ExitOk or
    // the status of what went wrong. label names the operation in the progress line;
    // expectedBytes (0: unknown) sizes the progress of a receive.
    int transfer(const QString& command, const QString& label, const QString& path,
                 Direction direction, qint64 expectedBytes = 0);

    // The transfer alone, for a command sent before; label names it in the progress line.
    int move(const QString& path, Direction direction, const QString& label,
             qint64 expectedBytes = 0);

    static int statusOf(const kel::serial::CommandOutcome& outcome, const QString& reply);
    // What went wrong is printed in the language of core's settings.
    static int statusOf(const kel::AppCore& core, const kel::serial::TransferOutcome& outcome);

    // The text of the kelctl section of the message file in the settings' language.
    QString text(int number) const;

private:
    Context& m_context;
    kel::serial::AnyBytePort m_port;
    kel::serial::SystemClock m_clock;
    kel::CoreLineNotices m_notices;
    kel::serial::SerialLink m_link;
    TerminalProgress m_progress;
    StopOnInterrupt m_interrupt;
};

} // namespace kelctl
