#pragma once
// What the two folder pickers share: a drive list, a box to type a folder into, a folder list
// that opens a folder with one click, the matching files of the open folder, a pattern box and
// the buttons. The caller shows a picker modally and reads BatchChoice::blnDirSelected when it
// has closed.

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace kel {

class AppCore;
struct BatchChoice;
class DirList;
class DriveList;
class FileList;
enum class FolderRefusal;

class DirPickerForm : public QDialog {
    Q_OBJECT
public:
    void Drive1_Change();
    void Dir1_Click(int row);
    void Dir1_Change();
    void cmdCancel_Click();
    // Opens the folder typed into txtPath. False, after telling the operator why, when it
    // cannot be opened; true when it is open or nothing new was typed.
    bool txtPath_Enter();

    DriveList* Drive1 = nullptr;
    QLineEdit* txtPath = nullptr;
    DirList* Dir1 = nullptr;
    FileList* File1 = nullptr;
    QComboBox* cboPattern = nullptr;
    QPushButton* cmdCancel = nullptr;

protected:
    // name: the window's name (its section of the label file); pattern: the files File1 lists;
    // startFolder: where the lists open, the process's current folder when it is "" or can no
    // longer be opened.
    DirPickerForm(AppCore& core, BatchChoice& choice, const QString& name, const QString& pattern,
                  const QString& startFolder, QWidget* parent);

    // Makes the confirm button, the window's default button, above cmdCancel.
    QPushButton* addConfirmButton(const QString& name, const QString& caption);
    // Runs once the lists show another folder.
    virtual void folderChanged() {}
    // Escape and the window's close box cancel.
    void reject() override;
    // Enter in txtPath opens what was typed there instead of confirming the window.
    void keyPressEvent(QKeyEvent* event) override;

    AppCore& m_core;
    BatchChoice& m_choice;

private:
    // The operator's text for a folder that cannot be opened, in the window's language.
    QString refusalText(const QString& folder, FolderRefusal refusal) const;
    // The folder typed into txtPath, "" when it names the folder shown.
    QString typedFolder() const;
};

} // namespace kel
