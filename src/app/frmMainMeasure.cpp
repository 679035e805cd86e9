// Main window handlers of the measurement panel: trigger measurements, read the result. A
// continuous measurement that starts starts the trend's reading (frmMainTrend.cpp); one that
// ends stops it.

#include "app/frmMain.h"
#include "core/AppCore.h"
#include "sensor/SensorProtocol.h"
#include "serial/CommandExchange.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScopedValueRollback>

namespace kel {

void frmMain::cmdMeasure_Click()
{
    const QScopedValueRollback busy(m_measureBusy, true);
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

    const QString reply = serial::SendCommand(link(), command);
    if (command != sensor::kMeasureContinuous)
        return;
    if (reply != sensor::kReplyOk) {
        blnContinuous = false;
        cmdMeasure->setText(m_core.GetMessageText(kSectionLabel, LabelMeasure));
        for (QRadioButton* option : optMesure)
            option->setEnabled(true);
        return;
    }
    StartTrend();
}

void frmMain::cmdGetMesure_Click()
{
    const QScopedValueRollback busy(m_measureBusy, true);
    const QString code = serial::SendCommand(link(), sensor::kResultCode);
    const std::optional<int> label = sensor::resultLabelOf(code);
    if (!label)
        return; // anything else, an empty reply or "ER" included, changes nothing
    lblValue[6]->setText(m_core.GetMessageText(kSectionLabel, *label));

    const QString value = serial::SendCommand(link(), sensor::kResultValue);
    if (!value.isEmpty())
        lblValue[7]->setText(value);
}

void frmMain::StopContinuousOnExit()
{
    if (!blnContinuous)
        return;
    blnContinuous = false;
    StopTrend();
    for (QRadioButton* option : optMesure)
        option->setEnabled(true);
    serial::SendCommand(link(), sensor::kMeasureEnd); // its failures are its own to report
}

} // namespace kel
