#include "sensor/CoreLine.h"

namespace kel {

serial::LineConfig lineConfigOf(const AppCore& core)
{
    serial::LineConfig config;
    config.port = core.iComPort;
    config.device = core.strComDevice;
    config.setting = core.strComSetting;
    config.delimiter = core.strDelimiter.toLatin1();
    return config;
}

bool CoreLineNotices::showMessage(serial::LineMessage message, QString* failure)
{
    return m_core.ShowMessage(kSectionMessage, static_cast<int>(message), failure);
}

void CoreLineNotices::showPortFailure(const QString& description)
{
    m_core.prompter().messageBox(description, kStyleCriticalOk, kPortFailureTitle);
}

serial::ReceiveCaption CoreLineNotices::receiveCaption()
{
    return {m_core.GetMessageText(kSectionLabel, LabelReceivedBefore),
            m_core.GetMessageText(kSectionLabel, LabelReceivedAfter)};
}

} // namespace kel
