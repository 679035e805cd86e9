#include "dialogs/frmOption.h"
#include "core/AppCore.h"
#include "ui/ControlArray.h"
#include "ui/FormLabels.h"
#include "ui/Twips.h"

#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>

namespace kel {

frmOption::frmOption(AppCore& core, QWidget* parent) : QDialog(parent), m_core(core)
{
    setObjectName(QStringLiteral("frmOption"));
    setFixedSize(twipsToPixels(4680), twipsToPixels(3195));

    fraImage = new QGroupBox(QStringLiteral("Frame1"), this);
    fraImage->setObjectName(QStringLiteral("fraImage"));
    placeInTwips(fraImage, 240, 240, 4215, 1695);
    for (int i = 0; i < 2; ++i) {
        optImage[i] = new QRadioButton(QStringLiteral("Option1"), fraImage);
        optImage[i]->setObjectName(QStringLiteral("optImage"));
        setControlIndex(optImage[i], i);
        placeInTwips(optImage[i], 360, i == 0 ? 480 : 960, 3615, 255);
    }
    // The window opens in its initial state each time: the first choice.
    optImage[0]->setChecked(true);

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    placeInTwips(cmdOK, 1920, 2640, 1215, 375);
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    placeInTwips(cmdCancel, 3240, 2640, 1215, 375);

    connect(cmdOK, &QPushButton::clicked, this, &frmOption::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmOption::cmdCancel_Click);
}

void frmOption::Form_Load()
{
    LoadFormLabels(m_core, this);
}

void frmOption::cmdOK_Click()
{
    for (int i = 0; i < int(optImage.size()); ++i) {
        if (optImage[i]->isChecked())
            m_core.lngImageOption = i;
    }
    accept();
}

void frmOption::cmdCancel_Click()
{
    reject();
}

} // namespace kel
