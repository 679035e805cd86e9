#include "files/DirPickerForm.h"
#include "core/AppCore.h"
#include "files/FolderLists.h"
#include "ui/Twips.h"

#include <QComboBox>
#include <QDir>
#include <QPushButton>
#include <QSignalBlocker>

namespace kel {

namespace {

// Information icon with Retry and Cancel.
constexpr int kStyleRetryCancel = 69;

template <typename T> T* named(T* control, const char* name)
{
    control->setObjectName(QLatin1String(name));
    return control;
}

} // namespace

DirPickerForm::DirPickerForm(AppCore& core, BatchChoice& choice, const QString& name,
                             const QString& pattern, QWidget* parent)
    : QDialog(parent), m_core(core), m_choice(choice)
{
    setObjectName(name);
    setFixedSize(twipsToPixels(8310), twipsToPixels(4575));

    Drive1 = named(new DriveList(this), "Drive1");
    placeInTwips(Drive1, 240, 120, 3975, 300);
    Dir1 = named(new DirList(this), "Dir1");
    placeInTwips(Dir1, 240, 480, 3975, 3870);
    File1 = named(new FileList(pattern, this), "File1");
    placeInTwips(File1, 4320, 120, 3735, 2790);
    File1->setSelectionMode(QAbstractItemView::NoSelection);
    cboPattern = named(new QComboBox(this), "cboPattern");
    placeInTwips(cboPattern, 4320, 3000, 3735, 300);
    cboPattern->setEditable(true);
    cboPattern->addItem(pattern);

    connect(Dir1, &DirList::pathChanged, this, &DirPickerForm::Dir1_Change);
    connect(Dir1, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { Dir1_Click(Dir1->row(item)); });
    connect(Drive1, &QComboBox::currentIndexChanged, this, &DirPickerForm::Drive1_Change);

    // The lists start at the process's current folder.
    QString failure;
    if (Dir1->setPath(QDir::currentPath(), &failure)) {
        const QSignalBlocker quiet(Drive1);
        Drive1->setDriveOf(Dir1->path());
    }
}

QPushButton* DirPickerForm::addConfirmButton(const QString& name, const QString& caption)
{
    auto* confirm = new QPushButton(caption, this);
    confirm->setObjectName(name);
    placeInTwips(confirm, 6720, 3480, 1335, 375);
    confirm->setDefault(true);
    confirm->setAutoDefault(true);

    cmdCancel = named(new QPushButton(QStringLiteral("Cancel"), this), "cmdCancel");
    placeInTwips(cmdCancel, 6720, 3960, 1335, 375);
    cmdCancel->setAutoDefault(false);
    connect(cmdCancel, &QPushButton::clicked, this, &DirPickerForm::cmdCancel_Click);
    return confirm;
}

void DirPickerForm::Drive1_Change()
{
    for (;;) {
        QString failure;
        if (Dir1->setPath(Drive1->drive(), &failure))
            break;
        if (m_core.prompter().messageBox(failure, kStyleRetryCancel, kAppTitle) != AnswerRetry) {
            const QSignalBlocker quiet(Drive1);
            Drive1->setDriveOf(Dir1->path());
            break;
        }
    }
    folderChanged();
}

void DirPickerForm::Dir1_Click(int row)
{
    const QString folder = Dir1->pathAt(row);
    QString failure;
    if (!folder.isEmpty() && !Dir1->setPath(folder, &failure))
        m_core.ShowFailure(failure);
    folderChanged();
}

void DirPickerForm::Dir1_Change()
{
    File1->setPath(Dir1->path());
}

void DirPickerForm::cmdCancel_Click()
{
    QDialog::reject();
}

void DirPickerForm::reject()
{
    cmdCancel_Click();
}

} // namespace kel
