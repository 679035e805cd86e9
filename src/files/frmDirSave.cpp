#include "files/frmDirSave.h"
#include "files/BatchChoice.h"
#include "files/FolderLists.h"
#include "ui/FormLabels.h"

#include <QComboBox>
#include <QPushButton>

namespace kel {

frmDirSave::frmDirSave(AppCore& core, BatchChoice& choice, QWidget* parent)
    : DirPickerForm(core, choice, QStringLiteral("frmDirSave"), QStringLiteral("*.bmp"),
                    choice.strSaveDir, parent)
{
    cmdSave = addConfirmButton(QStringLiteral("cmdSave"), QStringLiteral("Save"));
    connect(cmdSave, &QPushButton::clicked, this, &frmDirSave::cmdSave_Click);
}

void frmDirSave::Form_Load()
{
    LoadFormLabels(m_core, this);
    cboPattern->setEditText(QStringLiteral("*.bmp"));
}

void frmDirSave::cmdSave_Click()
{
    if (!txtPath_Enter())
        return;
    m_choice.strSaveDir = folderWithSeparator(Dir1->path());
    m_choice.blnDirSelected = true;
    accept();
}

} // namespace kel
