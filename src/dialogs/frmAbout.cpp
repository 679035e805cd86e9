#include "dialogs/frmAbout.h"
#include "core/AppCore.h"
#include "core/VersionText.h"
#include "dialogs/LineControl.h"
#include "ui/ControlArray.h"
#include "ui/FormLabels.h"
#include "ui/Twips.h"

#include <QLabel>
#include <QPixmap>
#include <QPushButton>

namespace kel {

frmAbout::frmAbout(AppCore& core, QWidget* parent) : QDialog(parent), m_core(core)
{
    setObjectName(QStringLiteral("frmAbout"));
    setFixedSize(twipsToPixels(3870), twipsToPixels(1950));

    picIcon = new QLabel(this);
    picIcon->setObjectName(QStringLiteral("picIcon"));
    picIcon->setPixmap(QPixmap(QStringLiteral(":/images/app_icon_32.png")));
    placeInTwips(picIcon, 360, 300, 480, 480);

    lblTitle = new QLabel(QStringLiteral("Label1"), this);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    lblTitle->setWordWrap(true); // a long title at a large size takes two lines
    placeInTwips(lblTitle, 1350, 240, 2115, 480);
    lblVersion = new QLabel(QStringLiteral("Label2"), this);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    placeInTwips(lblVersion, 1350, 780, 2145, 225);

    const QColor colours[] = {QColor(0xFF, 0xFF, 0xFF), QColor(0x80, 0x80, 0x80)};
    // A light line over a dark one gives the engraved look of a separator.
    const int widths[] = {2, 1};
    const QRect bounds[] = {twipsRect(240, 1200, 3360, 0), twipsRect(210, 1230, 3330, 0)};
    for (int i = 0; i < 2; ++i) {
        Line1[i] = new LineControl(colours[i], widths[i], this);
        Line1[i]->setObjectName(QStringLiteral("Line1"));
        setControlIndex(Line1[i], i);
        Line1[i]->setGeometry(bounds[i].adjusted(0, 0, 0, widths[i]));
    }

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    placeInTwips(cmdOK, 1290, 1410, 1380, 390);
    // Enter and Escape both close the box.
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
}

void frmAbout::Form_Load()
{
    LoadFormLabels(m_core, this);
    lblVersion->setText(
        versionLine(m_core.GetMessageText(kSectionLabel, LabelAboutVersion), programVersion()));
    lblTitle->setText(kAppTitle);
}

} // namespace kel
