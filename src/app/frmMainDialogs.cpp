// Main window handlers of the Option and Help menus.

#include "app/frmMain.h"
#include "core/AppCore.h"
#include "dialogs/HelpFile.h"
#include "dialogs/frmAbout.h"
#include "dialogs/frmComSet.h"
#include "dialogs/frmOption.h"

#include "ui/DesktopOpen.h"

#include <QAction>
#include <QDir>
#include <QUrl>

namespace kel {

void frmMain::connectDialogMenus()
{
    openWithShell = [this](const QUrl& url, const std::function<void()>& failed) {
        openWithDesktop(url, this, failed);
    };
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
    const QUrl document = helpDocument(m_core.paths(), m_core.lngLanguage);
    if (document.isEmpty())
        return;
    // Without a program to show it, the operator can still open the file: say where it is.
    openWithShell(document, [this, document] {
        QString failure;
        if (!m_core.ShowMessage(kSectionMessage, MsgHelpNotShown, &failure,
                                QDir::toNativeSeparators(document.toLocalFile())))
            m_core.ShowFailure(failure);
    });
}

void frmMain::mnuVersion_Click()
{
    frmAbout dialog(m_core, this);
    dialog.Form_Load();
    dialog.exec();
}

} // namespace kel
