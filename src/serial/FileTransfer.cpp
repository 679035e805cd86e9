#include "serial/FileTransfer.h"
#include "serial/DeviceNames.h"
#include "serial/Xmodem.h"

#include <QFile>

namespace kel::serial {

namespace {

enum class Direction { Receive, Send };

void closeFile(QFile& file)
{
    if (!file.isOpen())
        return;
    // close() would drop a failure to write what the file still buffers.
    if (!file.flush())
        throw FileError(file.errorString());
    file.close();
}

TransferOutcome transfer(SerialLink& link, const QString& path, Direction direction,
                         qint64 expectedBytes)
{
    TransferOutcome outcome;
    QString fileFailure; // the system's description of a failure of the file
    QFile file(path);
    XmAttachPort(link, link.MSComm1);
    link.display.reset();
    // The received file holds whole blocks: the total is counted as the file will be, so the
    // progress, the status line and kelctl name the same number.
    link.display.setTotal(expectedBytes < 0 ? expectedBytes : wholeBlockBytes(expectedBytes));
    try {
        XmOpenPort(link, link.line);
    } catch (const PortError& error) {
        outcome.failure =
            error.network() ? TransferFailure::Network : TransferFailure::PortCannotOpen;
        outcome.detail = error.description();
        outcome.network = error.network();
    }
    if (outcome.failure == TransferFailure::None) {
        try {
            // Unbuffered: a block that cannot be written (a full disk, a file size limit) fails
            // at once, while the transfer can still be cancelled, not at the close.
            const QIODevice::OpenMode mode = direction == Direction::Receive
                                                 ? QIODevice::ReadWrite | QIODevice::Unbuffered
                                                 : QIODevice::ReadOnly;
            if (!file.open(mode)) {
                outcome.failure = TransferFailure::FileCannotOpen;
                outcome.detail = path + QStringLiteral(": ") + file.errorString();
            } else if (direction == Direction::Receive) {
                outcome.code = XmReceive(link, file);
                if (outcome.code == XM_SUCCESS)
                    link.receiveEndedAt = link.clock.milliseconds();
            } else {
                link.display.setBarMaximum(file.size());
                link.display.setBarValue(0);
                link.display.setTotal(file.size());
                outcome.code = XmSend(link, file);
            }
            closeFile(file);
        } catch (const FileError& error) {
            outcome.failure = direction == Direction::Receive ? TransferFailure::FileNotWritten
                                                              : TransferFailure::FileError;
            fileFailure = error.description();
            outcome.detail = path + QStringLiteral(": ") + fileFailure;
        } catch (const PortError& error) {
            outcome.failure = TransferFailure::PortError;
            outcome.detail = error.description();
            if (error.network()) {
                outcome.failure = TransferFailure::Network;
                outcome.network = error.network();
                outcome.network->cause = NetworkCause::Dropped;
            }
        }
    }
    if (file.isOpen())
        file.close();
    // A connection that failed while a control byte was sent was told as the port's failure by
    // the transfer; it is still the dropped connection for whoever maps causes to results.
    bool networkTold = false;
    if (outcome.failure == TransferFailure::None && outcome.code == XM_SEND_FAILED) {
        if (std::optional<NetworkFailure> network = xmPort(link).takeNetworkFailure()) {
            network->cause = NetworkCause::Dropped;
            outcome.failure = TransferFailure::Network;
            outcome.network = network;
            networkTold = true;
        }
    }
    if (outcome.failure == TransferFailure::None) {
        if (outcome.code == XM_DATA_ERROR)
            link.notices.showMessage(LineMessage::NoReply);
        else if (outcome.code == XM_TIMEOUT)
            link.notices.showMessage(LineMessage::TransferTimeout);
    }
    XmClosePort(link);
    // A device that failed in the middle (an adapter pulled out) ends the transfer as a line
    // that stopped answering does; the port is let go before the operator is told.
    if (outcome.failure == TransferFailure::PortError)
        link.notices.showMessage(LineMessage::NoReply);
    if (outcome.failure == TransferFailure::Network && !networkTold)
        link.notices.showMessage(messageOf(*outcome.network), detailOf(*outcome.network));
    if (outcome.failure == TransferFailure::FileNotWritten)
        link.notices.showWriteFailure(path, fileFailure);
    XmDetachPort(link);
    link.display.publish(link.view);
    return outcome;
}

} // namespace

TransferOutcome ReceiveFile(SerialLink& link, const QString& path, qint64 expectedBytes)
{
    return transfer(link, path, Direction::Receive, expectedBytes);
}

TransferOutcome SendFile(SerialLink& link, const QString& path)
{
    return transfer(link, path, Direction::Send, -1);
}

void XmAttachPort(SerialLink& link, BytePort& port)
{
    if (!link.xmPort)
        link.xmPort = &port;
}

void XmDetachPort(SerialLink& link)
{
    link.xmPort = nullptr;
}

void XmOpenPort(SerialLink& link, const LineConfig& config)
{
    const QString& settings = config.setting;
    BytePort& device = xmPort(link);
    if (device.isOpen())
        throw PortError(QStringLiteral("The port is already open"));
    const std::optional<LineSettings> line = parseLineSettings(settings);
    if (!line)
        throw PortError(QStringLiteral("Invalid line settings \"%1\"").arg(settings));
    PortOptions options;
    options.device = deviceForPort(config.port, config.device);
    options.line = *line;
    options.dtr = false;
    if (options.device.isEmpty())
        throw PortError(QStringLiteral("Invalid port number %1").arg(config.port));
    QString error;
    if (!device.open(options, &error)) {
        if (const std::optional<NetworkFailure> network = device.takeNetworkFailure())
            throw PortError(*network);
        throw PortError(options.device + QStringLiteral(": ") + error);
    }
    link.xmLine = *line;
    device.discardInput();
    if (const QString warning = device.takeWarning(); !warning.isEmpty())
        link.notices.showWarning(warning);
}

void XmClosePort(SerialLink& link)
{
    if (link.xmPort && link.xmPort->isOpen())
        link.xmPort->close();
}

} // namespace kel::serial
