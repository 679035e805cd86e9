// Main window handlers of the Option and Help menus.

#include "app/frmMain.h"
#include "core/AppCore.h"
#include "dialogs/HelpFile.h"
#include "dialogs/frmAbout.h"
#include "dialogs/frmComSet.h"
#include "dialogs/frmOption.h"

#include <QAction>
#include <QDesktopServices>
#include <QUrl>

namespace kel {

void frmMain::connectDialogMenus()
{
    openWithShell = [](const QUrl& url) { QDesktopServices::openUrl(url); };
    connect(mnuConvert, &QAction::triggered, this, &frmMain::mnuConvert_Click);
    connect(mnuComSet, &QAction::triggered, this, &frmMain::mnuComSet_Click);
    connect(mnuContents, &QAction::triggered, this, &frmMain::mnuContents_Click);
    connect(mnuVersion, &QAction::triggered, this, &frmMain::mnuVersion_Click);
}

void frmMain::mnuConvert_Click()
{
    frmOption dialog(m_core, this);
    dialog.Form_Load();
    dialog.exec();
}

void frmMain::mnuComSet_Click()
{
    frmComSet dialog(m_core, this);
    dialog.Form_Load();
    dialog.exec();
    status().showLine(lineConfigOf(m_core));
}

void frmMain::mnuContents_Click()
{
    // Whatever the desktop does with the document is its own business: no message here.
    const QUrl document = helpDocument(m_core.paths(), m_core.lngLanguage);
    if (!document.isEmpty())
        openWithShell(document);
}

void frmMain::mnuVersion_Click()
{
    frmAbout dialog(m_core, this);
    dialog.Form_Load();
    dialog.exec();
}

} // namespace kel
