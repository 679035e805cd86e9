// The convert-all run behind the progress window: the counter, and the stop button looked at
// between two files, so a stop lets the file in progress be written first.

#include "core/AppCore.h"
#include "sensor/frmWait.h"

#include <QEventLoop>
#include <QLabel>
#include <QTimer>

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

    // One file a turn of a local event loop, so that a click on the stop button between two
    // files is seen before the next one starts.
    enum class End { Running, Completed, Stopped, Failed } end = End::Running;
    qsizetype index = 0;
    QEventLoop loop;
    std::function<void()> next = [&] {
        if (m_line.stopRequested())
            end = End::Stopped;
        else if (index == count)
            end = End::Completed;
        if (end != End::Running) {
            loop.quit();
            return;
        }
        lblRead->setText(counter + QLatin1Char(' ') + signedNumber(index + 1) +
                         QStringLiteral(" / ") + signedNumber(count));
        repaint();
        if (!step(index++)) {
            end = End::Failed;
            loop.quit();
            return;
        }
        QTimer::singleShot(0, &loop, next);
    };
    QTimer::singleShot(0, &loop, next);
    loop.exec();
    if (end != End::Completed) // a failed step told why; a stop, or the program's end, is none
        return finish(end != End::Failed);
    finish(true);
    m_core.ShowMessageOrFailure(kSectionMessage, MsgCompleted);
    return true;
}

} // namespace kel
