#include "LineServer.h"

#include "serial/Xmodem.h"

#include <QBuffer>

namespace kel::sim {

using namespace serial;

LineServer::LineServer(const ServerConfig& config, SensorModel& sensor, SerialLink& link,
                       FaultyPort& port, const std::atomic<bool>& terminate, Log log)
    : m_config(config), m_sensor(sensor), m_link(link), m_port(port), m_terminate(terminate),
      m_log(std::move(log))
{
}

void LineServer::pollOnce(int waitMs)
{
    m_port.waitForMoreInput(waitMs);
    const QByteArray arrived = m_port.readAll();
    for (const char byte : arrived) {
        // Control bytes are line noise to a command, such as the rest of a cancel that was
        // still on its way when the transfer ended.
        if (static_cast<quint8>(byte) < 0x20 && byte != '\r' && byte != '\n')
            continue;
        m_line.append(byte);
        if (m_line.endsWith(m_config.delimiter)) {
            const QByteArray line = m_line.chopped(m_config.delimiter.size());
            m_line.clear();
            // Whatever came after a command that started a transfer went to the transfer.
            if (handleLine(line) || m_terminate)
                return;
        } else if (m_line.size() > kMaxLineLength) {
            m_line.clear();
        }
    }
}

bool LineServer::handleLine(const QByteArray& bytes)
{
    const QString line = QString::fromLatin1(bytes);
    m_log(QStringLiteral("> %1").arg(line));
    const CommandFaultRule* rule = faultFor(line);
    if (rule && rule->fault != CommandFault::ReplyTwice) {
        switch (rule->fault) {
        case CommandFault::ReplyEr:
            sendLine("ER");
            break;
        case CommandFault::DelimiterOnly:
            sendLine({});
            break;
        case CommandFault::ReplyText:
            sendLine(rule->text.toLatin1());
            break;
        case CommandFault::HangUp:
            m_log(QStringLiteral("  (hanging up)"));
            m_port.hangUp();
            return true; // nothing more is read from a closed line
        case CommandFault::NoReply:
        case CommandFault::ReplyTwice:
            m_log(QStringLiteral("  (no reply)"));
            break;
        }
        return false; // the sensor did nothing else
    }
    const Response response = m_sensor.handle(line);
    sendLine(response.reply);
    if (rule) // answered twice
        sendLine(response.reply);
    if (response.transfer == Transfer::SendToPc)
        runSend(response.payload);
    else if (response.transfer == Transfer::ReceiveFromPc)
        runReceive(response.target);
    return response.transfer != Transfer::None;
}

const CommandFaultRule* LineServer::faultFor(const QString& line) const
{
    for (const CommandFaultRule& rule : m_config.faults) {
        if (commandMatches(rule.command, line))
            return &rule;
    }
    return nullptr;
}

void LineServer::sendLine(const QByteArray& text)
{
    m_log(QStringLiteral("< %1").arg(QString::fromLatin1(text)));
    m_port.write(text + m_config.delimiter);
}

void LineServer::runSend(const QByteArray& file)
{
    QByteArray content = file;
    QBuffer buffer(&content);
    buffer.open(QIODevice::ReadOnly);
    m_port.setMode(FaultyPort::Mode::Sending);
    int code = XM_SEND_FAILED;
    try {
        code = XmSend(m_link, buffer);
    } catch (const std::exception& error) {
        m_log(QStringLiteral("  send failed: %1").arg(QString::fromLocal8Bit(error.what())));
    }
    const bool cancelled = m_port.cancelledSend();
    endTransfer(code == XM_SUCCESS);
    m_log(QStringLiteral("  sent %1 bytes: %2%3")
              .arg(file.size())
              .arg(resultName(code), cancelled ? QStringLiteral(" (cancel fault)") : QString()));
}

void LineServer::runReceive(ReceiveTarget target)
{
    m_port.setMode(FaultyPort::Mode::Receiving);
    ReceiveResult result;
    try {
        result = receiveFile(m_link, m_config.receive);
    } catch (const std::exception& error) {
        m_log(QStringLiteral("  receive failed: %1").arg(QString::fromLocal8Bit(error.what())));
        result.code = XM_SEND_FAILED;
    }
    endTransfer(result.code == XM_SUCCESS);
    m_log(
        QStringLiteral("  received %1 blocks: %2").arg(result.blocks).arg(resultName(result.code)));
    if (result.code != XM_SUCCESS)
        return;
    QString error;
    if (!m_sensor.accept(target, result.data, &error))
        m_log(QStringLiteral("  not kept: %1").arg(error));
}

void LineServer::endTransfer(bool succeeded)
{
    m_port.setMode(FaultyPort::Mode::Idle);
    if (!m_terminate)
        m_link.blnStop = false;
    m_line.clear();
    // What a failed transfer left on the line (repeats, cancels) is no command. After a
    // success the PC sends nothing more of the transfer, and its next command may already be
    // here: a PC that is quicker than the sensor must not lose it.
    if (succeeded)
        return;
    try {
        m_port.discardInput();
    } catch (const PortError&) {
    }
}

QString resultName(int code)
{
    switch (code) {
    case XM_SUCCESS:
        return QStringLiteral("done");
    case XM_STOPPED:
        return QStringLiteral("stopped");
    case XM_DATA_ERROR:
        return QStringLiteral("data error");
    case XM_TIMEOUT:
        return QStringLiteral("timed out");
    case XM_REMOTE_CANCEL:
        return QStringLiteral("cancelled by the PC");
    default:
        return QStringLiteral("port failure");
    }
}

} // namespace kel::sim
