#pragma once
// The one seam through which the program asks the operator something: message boxes with
// Windows style numbers and the open/save file dialog. The widget implementation shows real
// dialogs; tests answer them from a script.

#include <QString>
#include <QStringList>

namespace kel {

// Answer codes of a message box, as the style numbers' owners defined them.
enum MessageAnswer : int {
    AnswerOk = 1,
    AnswerCancel = 2,
    AnswerAbort = 3,
    AnswerRetry = 4,
    AnswerIgnore = 5,
    AnswerYes = 6,
    AnswerNo = 7,
};

struct FileDialogRequest {
    enum class Mode { Open, Save, Folder }; // Folder: one folder, which the dialog may make
    Mode mode = Mode::Open;
    QString title;
    QStringList nameFilters; // Qt notation: "Description (*.a *.b)"
    int filterIndex = 0;     // 0-based index into nameFilters
    QString directory;
    QString fileName; // proposed name
    bool multiSelect = false;
    bool confirmOverwrite = false;
    bool fileMustExist = false;
};

struct FileDialogResult {
    bool accepted = false;
    QStringList files; // full paths
    int filterIndex = 0;
};

class Prompter {
public:
    virtual ~Prompter() = default;
    // Shows text under title with the buttons, icon and default button of the style number
    // and returns the answer code (1 to 7).
    virtual int messageBox(const QString& text, int style, const QString& title) = 0;
    virtual FileDialogResult fileDialog(const FileDialogRequest& request) = 0;
};

} // namespace kel
