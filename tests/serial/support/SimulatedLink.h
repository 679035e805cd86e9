#pragma once
// A serial link on a simulated line: notices that record what the line reports, side 0 of the
// line as the port, a view that records what it is shown, and a scratch folder for files.

#include "serial/SerialLink.h"
#include "support/SimulatedLine.h"
#include "support/TempAppDir.h"

#include <QStringList>

namespace kel::test {

class RecordingView : public serial::TransferView {
public:
    void setReadText(const QString& text) override { readTexts.append(text); }
    void setProgress(qint64 value, qint64 maximum) override
    {
        values.append(value);
        maximum_ = maximum;
    }
    QStringList readTexts;
    QList<qint64> values;
    qint64 maximum_ = -1;
};

using Messages = QList<serial::LineMessage>;

class RecordingNotices : public serial::LineNotices {
public:
    bool showMessage(serial::LineMessage message, const QString& detail, QString* failure) override
    {
        messages.append(message);
        details.append(detail);
        events.append(QStringLiteral("message %1").arg(static_cast<int>(message)));
        if (refuse && failure)
            *failure = QStringLiteral("cannot be shown");
        return !refuse;
    }
    void showPortFailure(const QString& description) override { portFailures.append(description); }
    void showWriteFailure(const QString& path, const QString& reason) override
    {
        writeFailures.append(path + QStringLiteral(": ") + reason);
    }
    serial::ReceiveCaption receiveCaption() override
    {
        return {QStringLiteral("Received:"), QStringLiteral("bytes")};
    }
    void waitingForReply(const QString& command) override
    {
        events.append(QStringLiteral("wait ") + command);
    }
    void replyWaitEnded() override { events.append(QStringLiteral("end")); }
    bool nothingShown() const
    {
        return messages.isEmpty() && portFailures.isEmpty() && writeFailures.isEmpty();
    }
    void clear()
    {
        messages.clear();
        details.clear();
        portFailures.clear();
        writeFailures.clear();
        events.clear();
    }

    Messages messages;
    QStringList details; // of each message, "" when none came with it
    QStringList portFailures;
    QStringList writeFailures; // "path: reason"
    QStringList events;        // reply waits and messages in order: "wait M", "end", "message 22"
    bool refuse = false;       // every message fails to be shown
};

struct SimulatedLink {
    explicit SimulatedLink(SimulatedLine& line, int side = 0);

    TempAppDir dir;
    RecordingNotices notices;
    SimClock clock;
    serial::SerialLink link;
    RecordingView view;

    SimPort& port() { return static_cast<SimPort&>(link.MSComm1); }
    // Opens the port and holds it for the XMODEM functions, as the transfer wrappers do.
    void holdOpenPort();
};

} // namespace kel::test
