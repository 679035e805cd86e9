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

    // The numbered message of section "Message"; a detail follows it on a line of its own,
    // worded by text 65 of section "Label", except for a device server's messages, which
    // take it as their %1.
    bool showMessage(serial::LineMessage message, const QString& detail = {},
                     QString* failure = nullptr) override;
    // The system's description in a critical box titled "エラー".
    void showPortFailure(const QString& description) override;
    // Text 64 of section "Label" with the file and the reason, in a critical box.
    void showWriteFailure(const QString& path, const QString& reason) override;
    // Text 66 of section "Label" with the port's account, in a box with the warning icon.
    void showWarning(const QString& text) override;
    // Texts 4 and 5 of section "Label".
    serial::ReceiveCaption receiveCaption() override;

private:
    AppCore& m_core;
};

} // namespace kel
