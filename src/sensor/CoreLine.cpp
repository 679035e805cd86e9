#include "sensor/CoreLine.h"
#include "sensor/OperationStatus.h"
#include "serial/DeviceNames.h"

#include <QFileInfo>

namespace kel {

serial::LineConfig lineConfigOf(const AppCore& core)
{
    serial::LineConfig config;
    config.port = core.iComPort;
    // A relative "Device" is read from where the settings file is, wherever the program runs.
    config.device = serial::deviceFromFolder(core.strComDevice,
                                             QFileInfo(core.paths().settingsFile()).absolutePath());
    config.setting = core.strComSetting;
    config.delimiter = core.strDelimiter.toLatin1();
    return config;
}

namespace {

// Text number of section "Label" with its arguments; without that text (message files older
// than the text) the arguments alone, so that what went wrong is still told.
QString worded(const AppCore& core, int number, const QString& first, const QString& second = {})
{
    const QString text = core.GetMessageText(kSectionLabel, number);
    if (text.isEmpty())
        return second.isEmpty() ? first : first + QStringLiteral(": ") + second;
    return second.isEmpty() ? text.arg(first) : text.arg(first, second);
}

} // namespace

bool CoreLineNotices::showMessage(serial::LineMessage message, const QString& detail,
                                  QString* failure)
{
    // A device server's message names the server (and the reason) in its own words.
    if (serial::isNetworkMessage(message))
        return m_core.ShowMessage(kSectionMessage, static_cast<int>(message), failure, {},
                                  {detail});
    // "ER" names the command refused, as sent and in words (which bank, which operation).
    if (message == serial::LineMessage::SensorError)
        return m_core.ShowMessage(kSectionMessage, static_cast<int>(message), failure, {},
                                  {detail.trimmed(), commandWords(m_core, detail)});
    const QString more = detail.isEmpty() ? QString() : worded(m_core, LabelLineDetails, detail);
    return m_core.ShowMessage(kSectionMessage, static_cast<int>(message), failure, more);
}

void CoreLineNotices::showPortFailure(const QString& description)
{
    m_core.prompter().messageBox(description, kStyleCriticalOk, kPortFailureTitle);
}

void CoreLineNotices::showWriteFailure(const QString& path, const QString& reason)
{
    m_core.ShowFailure(worded(m_core, LabelReceiveNotWritten, path, reason));
}

void CoreLineNotices::showWarning(const QString& text)
{
    m_core.prompter().messageBox(worded(m_core, LabelLineWarning, text), kStyleExclamationOk,
                                 kAppTitle);
}

serial::ReceiveCaption CoreLineNotices::receiveCaption()
{
    return {m_core.GetMessageText(kSectionLabel, LabelReceivedBefore),
            m_core.GetMessageText(kSectionLabel, LabelReceivedAfter)};
}

} // namespace kel
