#pragma once
// The application's side of the line: the settings held in memory as the line's
// configuration, and what the line reports told through the message files.

#include "core/AppCore.h"
#include "serial/LineConfig.h"
#include "serial/LineNotices.h"

namespace kel {

// Port number, "Device" setting, line parameters and delimiter of core's settings.
serial::LineConfig lineConfigOf(const AppCore& core);

class CoreLineNotices : public serial::LineNotices {
public:
    explicit CoreLineNotices(AppCore& core) : m_core(core) {}

    // The numbered message of section "Message".
    bool showMessage(serial::LineMessage message, QString* failure = nullptr) override;
    // The system's description in a critical box titled "エラー".
    void showPortFailure(const QString& description) override;
    // Texts 4 and 5 of section "Label".
    serial::ReceiveCaption receiveCaption() override;

private:
    AppCore& m_core;
};

} // namespace kel
