#pragma once
// What the two folder pickers share: a drive list, a folder list that opens a folder with one
// click, the matching files of the open folder, a pattern box and the buttons. The caller shows
// a picker modally and reads BatchChoice::blnDirSelected when it has closed.

#include <QDialog>

class QComboBox;
class QPushButton;

namespace kel {

class AppCore;
struct BatchChoice;
class DirList;
class DriveList;
class FileList;

class DirPickerForm : public QDialog {
    Q_OBJECT
public:
    void Drive1_Change();
    void Dir1_Click(int row);
    void Dir1_Change();
    void cmdCancel_Click();

    DriveList* Drive1 = nullptr;
    DirList* Dir1 = nullptr;
    FileList* File1 = nullptr;
    QComboBox* cboPattern = nullptr;
    QPushButton* cmdCancel = nullptr;

protected:
    // name: the window's name (its section of the label file); pattern: the files File1 lists.
    DirPickerForm(AppCore& core, BatchChoice& choice, const QString& name, const QString& pattern,
                  QWidget* parent);

    // Makes the confirm button, the window's default button, above cmdCancel.
    QPushButton* addConfirmButton(const QString& name, const QString& caption);
    // Runs once the lists show another folder.
    virtual void folderChanged() {}
    // Escape and the window's close box cancel.
    void reject() override;

    AppCore& m_core;
    BatchChoice& m_choice;
};

} // namespace kel
