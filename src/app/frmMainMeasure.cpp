// Main window handlers of the measurement panel: trigger measurements, read the result.

#include "core/AppCore.h"
#include "app/frmMain.h"
#include "serial/CommandExchange.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace kel {

namespace {

// Texts of section "Label".
constexpr int kResultTexts[] = {1, 2, 3}; // result codes "-2", "-1", "0"
constexpr int kMeasureCaption = 12;
constexpr int kStopContinuousCaption = 13;

const QString kReplyOk = QStringLiteral("OK");

} // namespace

void frmMain::cmdMeasure_Click()
{
    QString command;
    if (optMesure[0]->isChecked()) {
        command = QStringLiteral("M");
    } else if (!optMesure[1]->isChecked()) {
        command = QStringLiteral("M /I");
    } else if (blnContinuous) {
        blnContinuous = false;
        cmdMeasure->setText(m_core.GetMessageText(kSectionLabel, kMeasureCaption));
        for (QRadioButton* option : optMesure)
            option->setEnabled(true);
        command = QStringLiteral("M /E");
    } else {
        blnContinuous = true;
        cmdMeasure->setText(m_core.GetMessageText(kSectionLabel, kStopContinuousCaption));
        for (QRadioButton* option : optMesure)
            option->setEnabled(false);
        command = QStringLiteral("M /C");
    }

    const QString reply = serial::SendCommand(m_link, command);
    if (command == QLatin1String("M /C") && reply != kReplyOk) {
        blnContinuous = false;
        cmdMeasure->setText(m_core.GetMessageText(kSectionLabel, kMeasureCaption));
        for (QRadioButton* option : optMesure)
            option->setEnabled(true);
    }
}

void frmMain::cmdGetMesure_Click()
{
    const QString code = serial::SendCommand(m_link, QStringLiteral("DATAGET 2 0"));
    const QStringList codes = {QStringLiteral("-2"), QStringLiteral("-1"), QStringLiteral("0")};
    const qsizetype known = codes.indexOf(code);
    if (known < 0)
        return; // anything else, an empty reply or "ER" included, changes nothing
    lblValue[6]->setText(m_core.GetMessageText(kSectionLabel, kResultTexts[known]));

    const QString value = serial::SendCommand(m_link, QStringLiteral("DATAGET 2 1"));
    if (!value.isEmpty())
        lblValue[7]->setText(value);
}

void frmMain::StopContinuousOnExit()
{
    if (!blnContinuous)
        return;
    blnContinuous = false;
    for (QRadioButton* option : optMesure)
        option->setEnabled(true);
    serial::SendCommand(m_link, QStringLiteral("M /E")); // its failures are its own to report
}

} // namespace kel
