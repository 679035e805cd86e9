#pragma once
// A prompter whose boxes go nowhere, for the targets that build an application core.

#include "FuzzCheck.h"

#include "core/Prompter.h"

namespace kel::fuzz {

// Answers every box with OK and counts them; every file dialog is cancelled.
class QuietPrompter : public Prompter {
public:
    int messageBox(const QString&, int, const QString&) override
    {
        ++boxes;
        return AnswerOk;
    }
    FileDialogResult fileDialog(const FileDialogRequest&) override { return {}; }
    int boxes = 0;
};

} // namespace kel::fuzz
