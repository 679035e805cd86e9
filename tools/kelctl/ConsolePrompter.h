#pragma once
// Message boxes on a terminal: the text goes to stderr, and the box's default answer is taken,
// since a script cannot answer. File dialogs are never shown; paths come from the arguments.

#include "core/Prompter.h"

namespace kelctl {

class ConsolePrompter : public kel::Prompter {
public:
    int messageBox(const QString& text, int style, const QString& title) override;
    kel::FileDialogResult fileDialog(const kel::FileDialogRequest& request) override;

    QString lastText; // the last box's text, for callers that map it to an exit status
};

} // namespace kelctl
