#pragma once
// A progress window seen from the line's thread: each call is handed, in order, to the window
// on the thread that owns it. Calls that arrive after the window is gone are dropped.

#include "serial/TransferView.h"

#include <QObject>

namespace kel::sensor {

class TransferViewRelay : public serial::TransferView {
public:
    // target lives on context's thread and goes with context.
    TransferViewRelay(QObject& context, serial::TransferView& target)
        : m_context(context), m_target(target)
    {
    }

    void setReadText(const QString& text) override;
    void setProgress(qint64 value, qint64 maximum) override;
    void setFigures(const serial::TransferFigures& figures) override;

private:
    template <typename Call> void relay(Call call)
    {
        serial::TransferView* target = &m_target;
        QMetaObject::invokeMethod(
            &m_context, [target, call] { call(*target); }, Qt::QueuedConnection);
    }

    QObject& m_context;
    serial::TransferView& m_target;
};

} // namespace kel::sensor
