#pragma once
// What the line tells the operator, named by what happened; how it is shown (a numbered
// message of the language files, a console line, nothing) is the caller's business.

#include <QString>

namespace kel::serial {

// The messages the line reports; the numbers are those of the message files.
enum class LineMessage : int {
    PortCannotOpen = 21,
    NoReply = 22, // no reply in time, a corrupt transfer, or a device that failed meanwhile
    TransferTimeout = 23,
    SensorError = 24, // the sensor answered "ER"; the detail is the command it refused
    // A serial device server on the network (NetworkFailure.h). The detail is the server,
    // "HOST:PORT", which the message names; for NetFailed the server and the system's reason.
    NetUnknownHost = 40,
    NetRefused = 41,
    NetNoAnswer = 42,
    NetClosed = 43,
    NetDropped = 44, // during a file transfer
    NetFailed = 45,
};

// Whether the message is one of a device server on the network.
constexpr bool isNetworkMessage(LineMessage message)
{
    return static_cast<int>(message) >= static_cast<int>(LineMessage::NetUnknownHost) &&
           static_cast<int>(message) <= static_cast<int>(LineMessage::NetFailed);
}

// The words around the running byte position of a receive in the progress window.
struct ReceiveCaption {
    QString before;
    QString after;
};

class LineNotices {
public:
    virtual ~LineNotices() = default;
    // Tells the operator the message; detail, when not empty, is the system's account of what
    // went wrong (the device and its reason), or for SensorError the command the sensor
    // refused, and is told with it. False, with *failure saying
    // why, when it could not be shown; the line then treats the exchange as failed.
    virtual bool showMessage(LineMessage message, const QString& detail = {},
                             QString* failure = nullptr) = 0;
    // Writing a control byte of a transfer failed; description is the system's.
    virtual void showPortFailure(const QString& description) = 0;
    // A received file could not be written (a full disk, a file size limit) and the transfer
    // was cancelled on the line; reason is the system's.
    virtual void showWriteFailure(const QString& path, const QString& reason) = 0;
    virtual ReceiveCaption receiveCaption() = 0;
    // The port opened but goes on without something the operator should know of; text is the
    // port's account (the device and what it goes on without).
    virtual void showWarning(const QString& /*text*/) {}
    // A command was sent and the line now waits up to 5 s for its reply, without handling
    // events; replyWaitEnded follows on every path, before any message about the exchange.
    virtual void waitingForReply(const QString& /*command*/) {}
    virtual void replyWaitEnded() {}
};

// Tells nobody: for programs and tests that judge the line by its results alone.
class SilentNotices : public LineNotices {
public:
    bool showMessage(LineMessage, const QString&, QString*) override { return true; }
    void showPortFailure(const QString&) override {}
    void showWriteFailure(const QString&, const QString&) override {}
    ReceiveCaption receiveCaption() override { return {}; }
};

} // namespace kel::serial
