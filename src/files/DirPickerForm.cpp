#include "files/DirPickerForm.h"
#include "core/AppCore.h"
#include "files/FolderLists.h"
#include "ui/Twips.h"

#include <QComboBox>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <cerrno>

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
                             const QString& pattern, const QString& startFolder, QWidget* parent)
    : QDialog(parent), m_core(core), m_choice(choice)
{
    setObjectName(name);
    setFixedSize(twipsToPixels(8310), twipsToPixels(4575));

    Drive1 = named(new DriveList(this), "Drive1");
    placeInTwips(Drive1, 240, 120, 3975, 300);
    txtPath = named(new QLineEdit(this), "txtPath");
    placeInTwips(txtPath, 240, 480, 3975, 300);
    txtPath->setPlaceholderText(m_core.GetMessageText(kSectionLabel, LabelFolderPathHint));
    Dir1 = named(new DirList(this), "Dir1");
    placeInTwips(Dir1, 240, 840, 3975, 3510);
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

    // The folder chosen last time, where there is one that still opens; otherwise the
    // process's current folder.
    if ((startFolder.isEmpty() || !Dir1->setPath(startFolder, nullptr)) &&
        !Dir1->setPath(QDir::currentPath(), nullptr))
        return;
    const QSignalBlocker quiet(Drive1);
    Drive1->setDriveOf(Dir1->path());
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

QString DirPickerForm::refusalText(const QString& folder, FolderRefusal refusal) const
{
    int number = LabelFolderMissing;
    int code = ENOENT;
    if (refusal == FolderRefusal::NotAFolder) {
        number = LabelNotAFolder;
        code = ENOTDIR;
    } else if (refusal == FolderRefusal::Denied) {
        number = LabelFolderDenied;
        code = EACCES;
    }
    const QString shown = QDir::toNativeSeparators(folder);
    const QString text = m_core.GetMessageText(kSectionLabel, number);
    // A message file without the text still names the folder and the system's reason.
    return text.isEmpty() ? QStringLiteral("%1\n%2").arg(shown, qt_error_string(code))
                          : text.arg(shown);
}

void DirPickerForm::Drive1_Change()
{
    for (;;) {
        FolderRefusal refusal{};
        if (Dir1->setPath(Drive1->drive(), &refusal))
            break;
        if (m_core.prompter().messageBox(refusalText(Drive1->drive(), refusal), kStyleRetryCancel,
                                         kAppTitle) != AnswerRetry) {
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
    FolderRefusal refusal{};
    if (!folder.isEmpty() && !Dir1->setPath(folder, &refusal))
        m_core.ShowFailure(refusalText(folder, refusal));
    folderChanged();
}

void DirPickerForm::Dir1_Change()
{
    File1->setPath(Dir1->path());
    txtPath->setText(QDir::toNativeSeparators(Dir1->path()));
}

QString DirPickerForm::typedFolder() const
{
    const QString typed = QDir::fromNativeSeparators(txtPath->text().trimmed());
    if (typed.isEmpty())
        return {};
    // A relative path starts at the folder shown.
    const QString folder = QDir::cleanPath(QDir(Dir1->path()).absoluteFilePath(typed));
    return folder == Dir1->path() ? QString() : folder;
}

bool DirPickerForm::txtPath_Enter()
{
    const QString folder = typedFolder();
    if (folder.isEmpty())
        return true;
    FolderRefusal refusal{};
    if (!Dir1->setPath(folder, &refusal)) {
        m_core.ShowFailure(refusalText(folder, refusal));
        txtPath->setFocus();
        txtPath->selectAll();
        return false;
    }
    {
        const QSignalBlocker quiet(Drive1);
        Drive1->setDriveOf(Dir1->path());
    }
    folderChanged();
    return true;
}

void DirPickerForm::keyPressEvent(QKeyEvent* event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && txtPath->hasFocus() && !typedFolder().isEmpty()) {
        txtPath_Enter();
        return;
    }
    QDialog::keyPressEvent(event);
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
