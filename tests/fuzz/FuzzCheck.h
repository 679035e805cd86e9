#pragma once
// What every fuzz target shares: the invariant check and a prompter whose boxes go nowhere.

#include "core/Prompter.h"

#include <cstdlib>

namespace kel::fuzz {

// Stops the run when an invariant does not hold, so that the fuzzer reports the input.
inline void check(bool condition)
{
    if (!condition)
        std::abort();
}

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
