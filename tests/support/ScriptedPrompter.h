#pragma once
// A prompter that records every box and dialog and answers them from a script.

#include "core/Prompter.h"

#include <QList>
#include <QString>
#include <deque>

namespace kel::test {

struct ShownBox {
    QString text;
    int style = 0;
    QString title;
};

class ScriptedPrompter : public Prompter {
public:
    // Answers given in order; when the script runs out, a box gets its default answer.
    std::deque<int> answers;
    std::deque<FileDialogResult> dialogAnswers;

    QList<ShownBox> boxes;
    QList<FileDialogRequest> dialogs;

    int messageBox(const QString& text, int style, const QString& title) override;
    FileDialogResult fileDialog(const FileDialogRequest& request) override;
};

} // namespace kel::test
