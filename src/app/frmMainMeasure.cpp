// Main window handlers of the measurement panel: trigger measurements, read the result. A
// continuous measurement that starts starts the trend's reading (frmMainTrend.cpp); one that
// ends stops it.

#include "app/frmMain.h"
#include "core/AppCore.h"
#include "core/StatusWords.h"
#include "sensor/SensorProtocol.h"
#include "serial/CommandExchange.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace kel {

namespace {

constexpr int kQuietAfterCancelMs = 250;

} // namespace

QString frmMain::sendCommand(const QString& command)
{
    return line()
        .call<QString>(
            [command](serial::SerialLink& link) { return serial::SendCommand(link, command); })
        .value_or(QString());
}

void frmMain::cmdMeasure_Click()
{
    QString command;
    if (optMesure[0]->isChecked()) {
        command = sensor::kMeasure;
    } else if (!optMesure[1]->isChecked()) {
        command = sensor::kMeasureOther;
    } else if (blnContinuous) {
        blnContinuous = false;
        cmdMeasure->setText(m_core.GetMessageText(kSectionLabel, LabelMeasure));
        for (QRadioButton* option : optMesure)
            option->setEnabled(true);
        StopTrend();
        command = sensor::kMeasureEnd;
    } else {
        blnContinuous = true;
        cmdMeasure->setText(m_core.GetMessageText(kSectionLabel, LabelStopContinuous));
        for (QRadioButton* option : optMesure)
            option->setEnabled(false);
        command = sensor::kMeasureContinuous;
    }

    const QString reply = sendCommand(command);
    const bool accepted = reply == sensor::kReplyOk;
    if (command == sensor::kMeasureContinuous && !accepted) {
        blnContinuous = false;
        cmdMeasure->setText(m_core.GetMessageText(kSectionLabel, LabelMeasure));
        for (QRadioButton* option : optMesure)
            option->setEnabled(true);
    }
    showMeasureResult(command, accepted);
    if (command == sensor::kMeasureContinuous && accepted)
        StartTrend();
}

void frmMain::showMeasureResult(const QString& command, bool accepted)
{
    struct Texts {
        QString command;
        int done;
        int name;
    };
    const Texts texts[] = {
        {sensor::kMeasure, StatusMeasureSent, StatusNameMeasure},
        {sensor::kMeasureOther, StatusCaptureSent, StatusNameCapture},
        {sensor::kMeasureContinuous, StatusContinuousStarted, StatusNameContinuousStart},
        {sensor::kMeasureEnd, StatusContinuousEnded, StatusNameContinuousEnd},
    };
    for (const Texts& t : texts) {
        if (t.command != command)
            continue;
        if (accepted)
            m_status->showResult(statusText(m_core, t.done));
        else
            showFailed(t.name);
    }
}

void frmMain::cmdGetMesure_Click()
{
    const QString code = sendCommand(sensor::kResultCode);
    const std::optional<int> label = sensor::resultLabelOf(code);
    if (!label) {
        showFailed(StatusNameResultRead);
        return; // anything else, an empty reply or "ER" included, changes nothing
    }
    const QString judgement = m_core.GetMessageText(kSectionLabel, *label);
    lblValue[6]->setText(judgement);

    const QString value = sendCommand(sensor::kResultValue);
    if (!value.isEmpty())
        lblValue[7]->setText(value);
    if (value.isEmpty() || value == sensor::kReplyError)
        showFailed(StatusNameResultRead);
    else
        m_status->showResult(statusText(m_core, StatusMeasured, {judgement.trimmed(), value}));
}

sensor::LineOwner::Job frmMain::StopContinuousOnExit()
{
    if (!blnContinuous)
        return {};
    blnContinuous = false;
    StopTrend();
    for (QRadioButton* option : optMesure)
        option->setEnabled(true);
    // Nobody is told of its failures: the program is ending. A transfer cancelled just before
    // leaves the sensor throwing away what reaches it for a moment: the command waits for that.
    return [](serial::SerialLink& link) {
        link.clock.sleep(kQuietAfterCancelMs);
        serial::SendCommand(link, sensor::kMeasureEnd);
    };
}

} // namespace kel
