// The convert-all run behind the progress window: the counter, and the stop button looked at
// between two files, so a stop lets the file in progress be written first.

#include "core/AppCore.h"
#include "sensor/frmWait.h"

#include <QLabel>

namespace kel {

namespace {

// A count as the counter line writes it: a blank where a sign would go, then the digits.
QString signedNumber(qsizetype value)
{
    return QLatin1Char(' ') + QString::number(value);
}

} // namespace

bool frmWait::fncKelAutoConvert(qsizetype count, const std::function<bool(qsizetype)>& step)
{
    begin();
    const QString counter = m_core.GetMessageText(kSectionLabel, LabelConvertCounter);
    setStatus(LabelWaitConverting);

    for (qsizetype index = 0; index < count; ++index) {
        m_link.clock.yieldToEventLoop();
        if (m_link.blnStop)
            return finish(true);
        lblRead->setText(counter + QLatin1Char(' ') + signedNumber(index + 1) +
                         QStringLiteral(" / ") + signedNumber(count));
        repaint();
        if (!step(index))
            return finish(false);
    }
    finish(true);
    m_core.ShowMessageOrFailure(kSectionMessage, MsgCompleted);
    return true;
}

} // namespace kel
