#include "files/frmDirSearch.h"
#include "core/AppCore.h"
#include "files/BatchChoice.h"
#include "files/FolderLists.h"
#include "ui/FormLabels.h"

#include <QComboBox>
#include <QPushButton>

namespace kel {

frmDirSearch::frmDirSearch(AppCore& core, BatchChoice& choice, QWidget* parent)
    : DirPickerForm(core, choice, QStringLiteral("frmDirSearch"), QStringLiteral("*.KEL"),
                    choice.strSearchDir, parent)
{
    cmdOpen = addConfirmButton(QStringLiteral("cmdOpen"), QStringLiteral("Open"));
    connect(cmdOpen, &QPushButton::clicked, this, &frmDirSearch::cmdOpen_Click);
}

void frmDirSearch::Form_Load()
{
    LoadFormLabels(m_core, this);
    cboPattern->setEditText(m_core.GetMessageText(kSectionLabel, LabelKelFiles));
    cmdOpen->setEnabled(File1->count() > 0);
}

void frmDirSearch::folderChanged()
{
    cmdOpen->setEnabled(File1->count() > 0);
}

void frmDirSearch::cmdOpen_Click()
{
    // A folder typed but not yet opened is opened first; one without sensor files is shown,
    // not chosen.
    if (!txtPath_Enter() || File1->count() == 0)
        return;
    m_choice.strSearchDir = Dir1->path();
    const QString folder = folderWithSeparator(Dir1->path());
    m_choice.strConvFileName = File1->names();
    m_choice.strConvFilePath.clear();
    for (const QString& name : m_choice.strConvFileName)
        m_choice.strConvFilePath << folder + name;
    m_choice.blnDirSelected = true;
    accept();
}

} // namespace kel
