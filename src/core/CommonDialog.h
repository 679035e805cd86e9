#pragma once
// The one open/save dialog of the main window. It keeps every property between uses, as
// callers rely on: a caller that sets nothing gets what the previous use left, and the last
// file name is proposed next time.

#include "core/Prompter.h"

#include <QString>
#include <QStringList>

namespace kel {

// Flags.
constexpr int cdlOFNOverwritePrompt = 0x2;
constexpr int cdlOFNAllowMultiselect = 0x200;
constexpr int cdlOFNPathMustExist = 0x800;
constexpr int cdlOFNExplorer = 0x80000;

// What a cancelled dialog reports when CancelError is set.
constexpr int cdlCancel = 32755;

class CommonDialog {
public:
    explicit CommonDialog(Prompter& prompter) : m_prompter(prompter) {}

    bool CancelError = false;
    QString DialogTitle;
    QString Filter;      // "description|pattern|description|pattern..."
    int FilterIndex = 1; // 1-based
    int Flags = 0;
    QString InitDir;
    QString FileName;  // full path; with several files: folder, NUL, name, NUL, name...
    QString FileTitle; // the chosen file's name without its folder

    // Show the dialog modally. 0 when a file was chosen; on Cancel cdlCancel when CancelError
    // is set, else 0 with FileName "" (the caller then sees no name).
    int ShowOpen() { return show(FileDialogRequest::Mode::Open); }
    int ShowSave() { return show(FileDialogRequest::Mode::Save); }
    // A folder, existing or made in the dialog, into FileName; Filter and Flags are not used.
    int ShowFolder() { return show(FileDialogRequest::Mode::Folder); }

    // The chosen files as full paths, whether one or several were chosen.
    QStringList chosenFiles() const;

private:
    int show(FileDialogRequest::Mode mode);

    Prompter& m_prompter;
};

// The filter pairs as Qt name filters, "description (patterns)". Patterns also match in lower
// case, since files made on Windows may carry either and this file system tells them apart.
QStringList qtNameFilters(const QString& filter);

} // namespace kel
