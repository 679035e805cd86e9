#include "serial/CommandExchange.h"
#include "serial/DeviceNames.h"
#include "serial/RepeatedEnd.h"

#include <algorithm>
#include <optional>
#include <utility>

namespace kel::serial {

namespace {

// Only spaces are removed around a command; tabs and line breaks belong to it.
QString withoutSurroundingSpaces(const QString& text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == QLatin1Char(' '))
        ++first;
    while (last > first && text.at(last - 1) == QLatin1Char(' '))
        --last;
    return text.mid(first, last - first);
}

// The reply in buffer: everything before the first delimiter; nothing while none has come.
// With the two-character delimiter the reply ends before the first carriage return that a
// line feed follows, so a stray line feed inside the reply neither ends nor cuts it.
std::optional<QByteArray> replyBeforeDelimiter(const QByteArray& buffer,
                                               const QByteArray& delimiter)
{
    const qsizetype end = buffer.indexOf(delimiter);
    if (end < 0)
        return std::nullopt;
    return buffer.left(end);
}

// Tells the notices that the line waits for a reply, and that the wait is over however the
// exchange ends, a thrown port failure included.
class ReplyWait {
public:
    ReplyWait(LineNotices& notices, const QString& command) : m_notices(notices)
    {
        m_notices.waitingForReply(command);
    }
    ~ReplyWait() { m_notices.replyWaitEnded(); }
    ReplyWait(const ReplyWait&) = delete;
    ReplyWait& operator=(const ReplyWait&) = delete;

private:
    LineNotices& m_notices;
};

} // namespace

int OpenPort(SerialLink& link, QString* failure, std::optional<NetworkFailure>* network)
{
    BytePort& port = link.MSComm1;
    if (port.isOpen())
        port.close();

    QString why;
    PortOptions options;
    options.dtr = true;
    options.device = deviceForPort(link.line.port, link.line.device);
    const std::optional<LineSettings> line = parseLineSettings(link.line.setting);
    if (options.device.isEmpty())
        why = QStringLiteral("Invalid port number %1").arg(link.line.port);
    else if (!line)
        why = QStringLiteral("Invalid line settings \"%1\"").arg(link.line.setting);
    else {
        options.line = *line;
        if (port.open(options, &why)) {
            try {
                port.discardInput();
                if (const QString warning = port.takeWarning(); !warning.isEmpty())
                    link.notices.showWarning(warning);
                return 0;
            } catch (const PortError& error) {
                why = error.description();
                if (network)
                    *network = error.network();
            }
        } else {
            why = options.device + QStringLiteral(": ") + why;
            if (network)
                *network = port.takeNetworkFailure();
        }
    }
    if (failure)
        *failure = why;
    return 1;
}

void ClosePort(SerialLink& link)
{
    if (link.MSComm1.isOpen())
        link.MSComm1.close();
}

namespace {

// One command line and its reply; when no reply came in time, what arrived meanwhile.
struct LineExchange {
    QString reply;
    bool timedOut = false;
    QByteArray unanswered;
};

LineExchange exchangeLine(SerialLink& link, const QString& command)
{
    BytePort& port = link.MSComm1;
    const QByteArray& delimiter = link.line.delimiter;
    const QByteArray line = withoutSurroundingSpaces(command).toLatin1() + delimiter;

    const quint32 start = link.clock.milliseconds();
    port.readAll();
    port.write(line);
    QByteArray buffer;
    for (;;) {
        buffer += port.readAll();
        if (const std::optional<QByteArray> reply = replyBeforeDelimiter(buffer, delimiter))
            return {reply->size() > kLongestReply ? QString() : QString::fromLatin1(*reply), false,
                    {}};
        if (buffer.size() > kLongestReply + delimiter.size())
            return {}; // noise, not a reply: told as none at once
        const quint32 elapsed = elapsedSince(link.clock, start);
        if (elapsed >= quint32(kReplyTimeoutMs))
            return {{}, true, buffer};
        // The wait ends as soon as anything arrives; no events are handled meanwhile.
        port.waitForMoreInput(static_cast<int>(quint32(kReplyTimeoutMs) - elapsed));
    }
}

// The exchange, sent once more when the sender of the receive before it missed the ACK of its
// end and repeated its EOT instead of hearing the command.
QString exchangeAfterReceive(SerialLink& link, const QString& command,
                             std::optional<quint32> receiveEndedAt)
{
    const quint32 sentAt = link.clock.milliseconds();
    const LineExchange first = exchangeLine(link, command);
    if (!first.timedOut || !receiveEndedAt ||
        !acknowledgeRepeatedEnd(link, *receiveEndedAt, sentAt, first.unanswered))
        return first.reply;
    return exchangeLine(link, command).reply;
}

} // namespace

QString ExchangeLine(SerialLink& link, const QString& command)
{
    return exchangeLine(link, command).reply;
}

QString SendCommand(SerialLink& link, const QString& command, CommandOutcome* outcome)
{
    CommandOutcome result;
    QString reply;
    bool deviceFailed = false;
    // Only the first command after a receive can find that receive's sender still ending it.
    const std::optional<quint32> receiveEndedAt = std::exchange(link.receiveEndedAt, std::nullopt);
    try {
        QString failure;
        std::optional<NetworkFailure> network;
        if (OpenPort(link, &failure, &network) != 0) {
            result.failure = network ? CommandFailure::Network : CommandFailure::PortCannotOpen;
            result.detail = failure;
            result.network = network;
            if (network)
                link.notices.showMessage(messageOf(*network), detailOf(*network));
            else
                link.notices.showMessage(LineMessage::PortCannotOpen, failure);
        } else {
            {
                const ReplyWait wait(link.notices, command);
                reply = exchangeAfterReceive(link, command, receiveEndedAt);
            }
            if (reply.isEmpty()) {
                result.failure = CommandFailure::NoReply;
                link.notices.showMessage(LineMessage::NoReply);
            } else if (reply == QLatin1String("ER") &&
                       !link.notices.showMessage(LineMessage::SensorError, command, &failure)) {
                // A message that cannot be shown is a run-time failure of the exchange.
                reply.clear();
                result.failure = CommandFailure::RuntimeFailure;
                result.detail = failure;
            }
        }
    } catch (const PortError& error) {
        reply.clear();
        result.failure = error.network() ? CommandFailure::Network : CommandFailure::RuntimeFailure;
        result.detail = error.description();
        result.network = error.network();
        deviceFailed = true;
    }
    ClosePort(link);
    // The device failed under the open port, as an unplugged adapter does: the reply will
    // never come, and the operator must hear why the operation ended. The port is released
    // first, so that nothing holds the device while the box is open.
    if (deviceFailed && result.network)
        link.notices.showMessage(messageOf(*result.network), detailOf(*result.network));
    else if (deviceFailed)
        link.notices.showMessage(LineMessage::NoReply);
    if (outcome)
        *outcome = result;
    return reply;
}

} // namespace kel::serial
